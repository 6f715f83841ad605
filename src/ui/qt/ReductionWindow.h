#pragma once
// 查看 → 边长归算表: the reduction of the last completed run's sides to the
// Gauss plane, the table of the full report (display/ReductionTable.h) with
// its lines above and its notes below, in a window of its own.
#include <QWidget>

#include "state/ChainListing.h"

class QTableWidget;

class ReductionWindow : public QWidget {
    Q_OBJECT
public:
    ReductionWindow(const ChainListing& listing, QWidget* parent = nullptr);
    QTableWidget* Table() const { return table_; }

private:
    QTableWidget* table_ = nullptr;
};
