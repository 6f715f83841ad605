// 成果表 through the window: the cells are the batch command's figures of the
// same file, columns sort by their numbers, a selection and the whole table
// copy as tab-separated text with a header row.
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <gtest/gtest.h>
#include <fstream>

#include "ChainAnswers.h"
#include "support/ChainGenerator.h"
#include "DialogAnswerer.h"
#include "files/ObservationFile.h"
#include "run/BatchRun.h"
#include "support/TestFolder.h"
#include "text/DisplayFormat.h"
#include "ui/qt/ProgramWindow.h"
#include "ui/qt/ReductionWindow.h"
#include "ui/qt/ResultsTable.h"

namespace {

QString Cell(QTableView* t, int row, int column) { return t->model()->index(row, column).data().toString(); }
QString F(double v, int decimals) { return QString::fromStdString(FormatFixed(v, decimals)); }

struct Opened {
    TestFolder folder;
    ObservationRecord record;
    ProgramWindow window;
    ResultsTable* table = nullptr;
    Opened()
    {
        // a typed run of a chain with an external azimuth, given an a-priori standard error
        ProgramWindow typed;
        {
            chain::ChainSpec spec;
            spec.triangles = 6;
            spec.closing = chain::Closing::ExternalAzimuth;
            spec.noiseMm = 2;
            DialogAnswerer at(chain::GenerateChain(spec).answers);
            typed.Form().Button(1)->click();
        }
        record = typed.Form().State().LastTyped;
        record.sigma0Mm = "2";
        const std::string file = folder.File("chain.trilat");
        std::ofstream(file, std::ios::binary) << WriteObservationFile(record);
        DialogAnswerer at({});
        at.SetSaveFile(QString::fromStdString(file));
        window.OpenObservations();
        EXPECT_TRUE(window.ViewMenu()->isEnabled());
        window.ShowResultsTable();
        table = window.findChild<ResultsTable*>();
    }
};

TEST(ResultsTable, TheCellsAreTheBatchCommandsFigures)
{
    Opened o;
    ASSERT_NE(o.table, nullptr);
    const BatchRun batch = RunRecord(o.record);
    ASSERT_TRUE(batch.Completed());
    const ChainResult& r = batch.Result();
    QTableView* points = o.table->Points();
    ASSERT_EQ(points->model()->rowCount(), static_cast<int>(batch.completed->listing.points.size()));
    for (int i = 0; i < points->model()->rowCount(); ++i) {
        const ListedPoint& p = batch.completed->listing.points[static_cast<std::size_t>(i)];
        EXPECT_EQ(Cell(points, i, 0), QString::fromStdString(p.name));
        EXPECT_EQ(Cell(points, i, 1), F(p.X, 3));
        EXPECT_EQ(Cell(points, i, 2), F(p.Y, 3));
        EXPECT_EQ(Cell(points, i, 5), F(p.mp, 2));
        EXPECT_EQ(Cell(points, i, 6), F(p.E, 2));
        EXPECT_EQ(Cell(points, i, 8), F(p.phi, 1));
    }
    QTableView* sides = o.table->Observations();
    for (int i = 0; i < static_cast<int>(batch.completed->listing.sides.size()); ++i) {
        const ListedSide& s = batch.completed->listing.sides[static_cast<std::size_t>(i)];
        EXPECT_EQ(Cell(sides, i, 1), QString::fromStdString(s.from));
        EXPECT_EQ(Cell(sides, i, 4), F(s.correction * 1000, 2));
        EXPECT_EQ(Cell(sides, i, 5), F(s.adjusted, 4));
        if (s.known) continue;
        EXPECT_EQ(Cell(sides, i, 6), F(r.Redundancy[static_cast<std::size_t>(s.k)], 3));
        const auto& w = r.Normalised[static_cast<std::size_t>(s.k)];
        EXPECT_EQ(Cell(sides, i, 7), w ? F(*w, 2) : QString());
        // mS, mS/S, the azimuth and mT after the checks
        EXPECT_EQ(Cell(sides, i, 8), F(*s.adjustedSigmaMm, 2));
        EXPECT_EQ(Cell(sides, i, 9), QString::fromStdString(FormatRelative(*s.relative)));
        EXPECT_EQ(Cell(sides, i, 11), F(s.azimuthSigmaArcSec, 2));
    }
    // the orientation angle's own row
    EXPECT_EQ(sides->model()->rowCount(), static_cast<int>(batch.completed->listing.sides.size()) + 1);
    EXPECT_EQ(Cell(sides, sides->model()->rowCount() - 1, 0), "Qb");
    EXPECT_EQ(sides->model()->index(0, 3).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight);
}

TEST(ResultsTable, ColumnsSortByTheirNumbersAndRowsCopyAsTabSeparatedText)
{
    Opened o;
    ASSERT_NE(o.table, nullptr);
    QTableView* points = o.table->Points();
    points->sortByColumn(1, Qt::DescendingOrder);
    const int rows = points->model()->rowCount();
    for (int i = 1; i < rows; ++i) EXPECT_GE(Cell(points, i - 1, 1).toDouble(), Cell(points, i, 1).toDouble());

    points->selectRow(1);
    const QStringList two = ResultsTable::AsTabSeparated(*points, true).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(two.size(), 2);
    EXPECT_TRUE(two[0].startsWith(QString::fromUtf8("点名\tX (米)\tY (米)")));
    EXPECT_EQ(two[1].split('\t').size(), 9);
    EXPECT_EQ(two[1].split('\t')[1], Cell(points, 1, 1));

    for (QPushButton* b : o.table->findChildren<QPushButton*>()) {
        if (b->text() != QString::fromUtf8("复制全表")) continue;
        b->click();
        break;  // the points' table comes first
    }
    EXPECT_EQ(QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts).size(), rows + 1);
}

}  // namespace

namespace {

TEST(ViewMenu, TheDrawingOfTheLastRunOpensInAWindowOfItsOwn)
{
    Opened o;
    o.window.ShowNetwork();
    QWidget* drawing = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == QString::fromUtf8("网图")) drawing = w;
    ASSERT_NE(drawing, nullptr);
    drawing->close();
}

// 查看 → 边长归算表: the full report's table of a chain measured on the ground,
// the batch command's figures of the same file.
TEST(ViewMenu, TheReductionTableOfTheLastRunOpensInAWindowOfItsOwn)
{
    TestFolder folder;
    ObservationRecord record;
    {
        ProgramWindow typed;
        chain::ChainSpec spec;
        spec.triangles = 3;
        DialogAnswerer at(chain::GenerateChain(spec).answers);
        typed.Form().Button(1)->click();
        record = typed.Form().State().LastTyped;
    }
    record.reduction.sideKind = "平距";
    record.reduction.centralMeridian = "117";
    for (const char* mark : {"A", "B", "1", "2", "C"}) record.reduction.heights.push_back({mark, "12.5"});
    const std::string file = folder.File("ground.trilat");
    std::ofstream(file, std::ios::binary) << WriteObservationFile(record);
    ProgramWindow window;
    {
        DialogAnswerer at({});
        at.SetSaveFile(QString::fromStdString(file));
        window.OpenObservations();
    }
    QAction* action = nullptr;
    for (QAction* a : window.ViewMenu()->actions())
        if (a->text().startsWith(QString::fromUtf8("边长归算表"))) action = a;
    ASSERT_NE(action, nullptr);
    action->trigger();
    auto* shown = window.findChild<ReductionWindow*>();
    ASSERT_NE(shown, nullptr);
    const BatchRun batch = RunRecord(record);
    ASSERT_TRUE(batch.Completed());
    QTableWidget* table = shown->Table();
    int row = 0;
    for (const ListedSide& side : batch.completed->listing.sides) {
        if (!side.reduction) continue;
        ASSERT_LT(row, table->rowCount());
        EXPECT_EQ(table->item(row, 0)->text(), QString::number(side.k));
        EXPECT_EQ(table->item(row, 6)->text(), F(side.reduction->plane, 4));
        EXPECT_EQ(table->item(row, 7)->text(), F(side.reduction->scale, 8));
        ++row;
    }
    EXPECT_EQ(row, table->rowCount());
    EXPECT_EQ(row, 6);  // S2 .. S7
    shown->close();
}

}  // namespace
