#include "ui/qt/ReductionWindow.h"

#include "ui/qt/ScreenRoom.h"

#include <algorithm>

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "display/ReductionTable.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/QtText.h"

ReductionWindow::ReductionWindow(const ChainListing& listing, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("ReductionWindow");
    setWindowTitle(QString::fromUtf8("边长归算表"));
    setAttribute(Qt::WA_DeleteOnClose);
    const FullReportBlock block = ReductionBlock(listing);
    auto* layout = new QVBoxLayout(this);
    auto label = [this, layout](const std::string& text) {
        auto* l = new QLabel(ToQString(text), this);
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(l);
    };
    if (!block.hasTable) label("这次平差的边长是高斯平面上的边长，没有归算。");
    for (const std::string& line : block.lines) label(line);
    table_ = new QTableWidget(static_cast<int>(block.table.rows.size()), static_cast<int>(block.table.header.size()), this);
    table_->setObjectName("ReductionTable");
    for (std::size_t c = 0; c < block.table.header.size(); ++c)
        table_->setHorizontalHeaderItem(static_cast<int>(c), new QTableWidgetItem(ToQString(block.table.header[c])));
    for (std::size_t r = 0; r < block.table.rows.size(); ++r)
        for (std::size_t c = 0; c < block.table.rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(ToQString(block.table.rows[r][c]));
            if (c < block.table.rightAligned.size() && block.table.rightAligned[c])
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->setFont(FormFont(form::FontKind::Song9));
    table_->resizeColumnsToContents();
    table_->setVisible(block.hasTable);
    layout->addWidget(table_, 1);  // the table takes the height the window has beyond its lines
    for (const std::string& note : block.notes) label(note);
    // every side in sight where the screen has room (the lines above and below take about 240 px)
    const int rows = table_->verticalHeader()->length() + table_->horizontalHeader()->sizeHint().height() + 4;
    resize(WithinScreen(QSize(std::max(640, table_->horizontalHeader()->length() + 40), std::max(420, 240 + rows)), parent));
}
