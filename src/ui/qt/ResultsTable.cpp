#include "ui/qt/ResultsTable.h"

#include "ui/qt/ScreenRoom.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <set>

#include "text/DisplayFormat.h"
#include "text/PackedAngle.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/QtText.h"

namespace {

constexpr int SORT_ROLE = Qt::UserRole + 1;

QStandardItem* Text(const std::string& text)
{
    auto* item = new QStandardItem(ToQString(text));
    item->setData(ToQString(text), SORT_ROLE);
    return item;
}

QStandardItem* Number(double value, int decimals)
{
    auto* item = new QStandardItem(ToQString(FormatFixed(value, decimals)));
    item->setData(value, SORT_ROLE);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QStandardItem* Empty()
{
    auto* item = new QStandardItem(QString());
    item->setData(QVariant(), SORT_ROLE);
    return item;
}

QTableView* TableOf(QStandardItemModel* model, QWidget* parent)
{
    auto* proxy = new QSortFilterProxyModel(parent);
    proxy->setSourceModel(model);
    proxy->setSortRole(SORT_ROLE);
    auto* view = new QTableView(parent);
    view->setModel(proxy);
    view->setSortingEnabled(true);
    view->sortByColumn(-1, Qt::AscendingOrder);  // the run's own order until a header is clicked
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->setFont(FormFont(form::FontKind::Song9));
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    view->resizeColumnsToContents();
    return view;
}

}  // namespace

ResultsTable::ResultsTable(const ChainListing& listing, const ChainResult& result, QWidget* parent) : QWidget(parent)
{
    setWindowFlag(Qt::Window);
    setObjectName("ResultsTable");
    setWindowTitle(QString::fromUtf8("成果表"));

    auto* points = new QStandardItemModel(this);
    points->setHorizontalHeaderLabels(QString::fromUtf8("点名,X (米),Y (米),mx (毫米),my (毫米),mp (毫米),E (毫米),F (毫米),φ (度)").split(','));
    for (const ListedPoint& p : listing.points) {
        QList<QStandardItem*> row{Text(p.name), Number(p.X, 3), Number(p.Y, 3)};
        for (double v : {p.mx, p.my, p.mp, p.E, p.F}) row << (p.hasPrecision ? Number(v, 2) : Empty());
        row << (p.hasPrecision ? Number(p.phi, 1) : Empty());
        points->appendRow(row);
    }

    auto* sides = new QStandardItemModel(this);
    // with weights each observation's standard error, minimal detectable bias
    // and bias-to-noise ratio (the orientation angle's in seconds)
    const bool weighted = listing.weights.has_value();
    // then the adjusted side's standard error and relative error, its azimuth and the azimuth's standard error
    sides->setHorizontalHeaderLabels(
        QString::fromUtf8(weighted ? "k,起点,终点,观测值,v (毫米),平差值,r,w,σ (毫米),MDB (毫米),λ" : "k,起点,终点,观测值,v (毫米),平差值,r,w")
            .split(',') + QString::fromUtf8("mS (毫米),mS/S,方位角 (度.分秒),mT (秒)").split(','));
    auto figure = [](const std::optional<double>& value, int decimals) {
        return value ? Number(*value, decimals) : Empty();
    };
    auto checks = [&result](std::size_t k, QList<QStandardItem*>& row) {
        const bool has = k < result.Redundancy.size();
        row << (has ? Number(result.Redundancy[k], 3) : Empty());
        const bool tested = k < result.Normalised.size() && result.Normalised[k];
        row << (tested ? Number(*result.Normalised[k], 2) : Empty());
    };
    for (const ListedSide& s : listing.sides) {
        QList<QStandardItem*> row{Number(s.k, 0), Text(s.from), Text(s.to), Number(s.observed, 4),
                                  Number(s.correction * 1000, 2), Number(s.adjusted, 4)};
        if (s.known) {
            row << Empty() << Empty();
        } else {
            checks(static_cast<std::size_t>(s.k), row);
        }
        if (weighted) row << figure(s.sigmaMm, 2) << figure(s.mdbMm, 1) << figure(s.biasToNoise, 2);
        QStandardItem* relative = s.relative ? Text(FormatRelative(*s.relative)) : Empty();
        if (s.relative) relative->setData(*s.relative, SORT_ROLE), relative->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QStandardItem* azimuth = Text(DegreesToPacked(s.azimuthDeg));
        azimuth->setData(s.azimuthDeg, SORT_ROLE), azimuth->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row << figure(s.adjustedSigmaMm, 2) << relative << azimuth << Number(s.azimuthSigmaArcSec, 2);
        sides->appendRow(row);
    }
    if (listing.closing && !result.Redundancy.empty()) {
        // the orientation angle at C [deg], its correction in arc seconds
        const std::size_t Q = result.Redundancy.size() - 1;
        const double typed = listing.closing->orientationDeg;
        QList<QStandardItem*> row{Text("Qb"), Text(listing.points.size() > 1 ? listing.points.back().name : ""),
                                  Text(listing.closing->lastSideFar), Number(typed, 6),
                                  Number(result.OrientationCorrection, 2), Number(typed + result.OrientationCorrection / 3600, 6)};
        checks(Q, row);
        if (weighted && listing.orientation)
            row << figure(listing.orientation->sigmaSec, 2) << figure(listing.orientation->mdbSec, 1)
                << figure(listing.orientation->biasToNoise, 2);
        sides->appendRow(row);
    }

    points_ = TableOf(points, this);
    points_->setObjectName("PointsTable");
    observations_ = TableOf(sides, this);
    observations_->setObjectName("ObservationsTable");

    auto* layout = new QVBoxLayout(this);
    const char* observationsCaption = weighted ? "观测值的改正与检核（定向角的 v、σ、MDB 为秒）" : "观测值的改正与检核（定向角的 v 为秒）";
    for (auto [caption, table] : {std::pair{"点的成果", points_}, std::pair{observationsCaption, observations_}}) {
        auto* head = new QHBoxLayout;
        head->addWidget(new QLabel(QString::fromUtf8(caption)));
        head->addStretch();
        auto* copy = new QPushButton(QString::fromUtf8("复制全表"));
        QTableView* view = table;
        connect(copy, &QPushButton::clicked, this,
                [view] { QApplication::clipboard()->setText(AsTabSeparated(*view, false)); });
        head->addWidget(copy);
        layout->addLayout(head);
        layout->addWidget(table, 1);
        table->installEventFilter(this);
    }
    resize(WithinScreen(QSize(900, 640), parent));
}

QString ResultsTable::AsTabSeparated(const QTableView& table, bool selectionOnly)
{
    const QAbstractItemModel* model = table.model();
    std::set<int> rows;
    if (selectionOnly && table.selectionModel())
        for (const QModelIndex& i : table.selectionModel()->selectedIndexes()) rows.insert(i.row());
    if (rows.empty())
        for (int r = 0; r < model->rowCount(); ++r) rows.insert(r);
    QStringList lines;
    QStringList header;
    for (int c = 0; c < model->columnCount(); ++c) header << model->headerData(c, Qt::Horizontal).toString();
    lines << header.join('\t');
    for (int r : rows) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c) {
            QString cell = model->index(r, c).data().toString();
            cell.replace('\t', ' ').replace('\n', ' ').replace('\r', ' ');
            cells << cell;
        }
        lines << cells.join('\t');
    }
    return lines.join('\n') + '\n';
}

bool ResultsTable::eventFilter(QObject* watched, QEvent* event)
{
    auto* view = qobject_cast<QTableView*>(watched);
    if (view && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(AsTabSeparated(*view, true));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
