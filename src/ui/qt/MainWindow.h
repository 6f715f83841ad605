#pragma once
// Form1: the one window of the program. Its controls are built from the
// tables of FormLayout.h at their twip positions; the border lines and the
// three chain diagrams are painted.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <vector>

#include "state/ProgramState.h"
#include "display/Report.h"

class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow();

    void SetFieldText(int field, const QString& text);
    // TextN, N = 1..29 (none for 13)
    QLineEdit* Field(int n) const { return fields_.at(static_cast<std::size_t>(n)); }
    // CommandN, N = 1..3
    QPushButton* Button(int n) const { return buttons_.at(static_cast<std::size_t>(n)); }
    const std::vector<QLabel*>& Labels() const { return labels_; }

    // Twips of the layout to pixels of this window.
    int PixelsX(int twips) const;
    int PixelsY(int twips) const;

    // Prints the report on the default printer; when there is none or it
    // fails, offers to save the report as a PDF file.
    void PrintToPrinter(const Report& report);
    ProgramState& State() { return state_; }

public slots:
    void RunAdjustment();
    void PrintReport();
    void EndProgram();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* AddLabel(const char* caption, int left, int top, QFont font);
    void OfferPdf(const Report& report, const QString& problem);

    ProgramState state_;
    std::array<QLineEdit*, 30> fields_{};
    std::array<QPushButton*, 4> buttons_{};
    std::vector<QLabel*> labels_;
};
