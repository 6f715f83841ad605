#pragma once
// 成果表: every point (name, X, Y, mx, my, mp, E, F, phi) and every
// observation (k, its two point names, observed, v, adjusted, r, w; the
// orientation angle as its own row; with weights also sigma, the minimal
// detectable bias and lambda) of the last completed run, in two tables.
// Numbers right-aligned with fixed decimals; columns sort by their numbers;
// a selection, or the whole table, copies to the clipboard as tab-separated
// text with a header row (it pastes into a spreadsheet).
//   X Y [m]; mx my mp E F [mm]; phi [deg] clockwise from +X; observed,
//   adjusted [m]; v [mm]; r [-]; w [-], empty where there is no test;
//   sigma, the minimal detectable bias [mm, the orientation angle arc s],
//   lambda [-], empty where the observation is not checked (r < 0.01)
#include <QString>
#include <QWidget>

#include "core/ChainResult.h"
#include "state/ChainListing.h"

class QTableView;
class QStandardItemModel;

class ResultsTable : public QWidget {
    Q_OBJECT
public:
    ResultsTable(const ChainListing& listing, const ChainResult& result, QWidget* parent = nullptr);

    QTableView* Points() const { return points_; }
    QTableView* Observations() const { return observations_; }
    // The table as tab-separated text with its header row: the selected rows
    // (all when none is selected), in the order shown.
    static QString AsTabSeparated(const QTableView& table, bool selectionOnly);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView* points_ = nullptr;
    QTableView* observations_ = nullptr;
};
