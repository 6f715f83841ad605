#pragma once
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "state/ProgramState.h"
#include "ui/Report.h"

class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow();
    void SetFieldText(int field, const QString& text);
    QLineEdit* Field(int n) const { return fields_.at(static_cast<std::size_t>(n)); }
    void PrintToPrinter(const Report& report);
    ProgramState& State() { return state_; }

public slots:
    void RunAdjustment();
    void PrintReport();

private:
    ProgramState state_;
    std::array<QLineEdit*, 30> fields_{};
    QPushButton* run_ = nullptr;
    QPushButton* end_ = nullptr;
    QPushButton* print_ = nullptr;
};
