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

#include <optional>

#include "core/ChainResult.h"
#include "rules/Report.h"
#include "state/ChainListing.h"
#include "state/ObservationRecord.h"
#include "state/ProgramState.h"
#include "ui/qt/PromptHost.h"

class Journal;

class MainWindow : public QWidget, public PromptHost {
    Q_OBJECT
public:
    MainWindow();

    void SetFieldText(int field, const QString& text, const QString& tip = {}) override;
    // TextN, N = 1..29 (none for 13)
    QLineEdit* Field(int n) const { return fields_.at(static_cast<std::size_t>(n)); }
    // CommandN, N = 1..3
    QPushButton* Button(int n) const { return buttons_.at(static_cast<std::size_t>(n)); }
    const std::vector<QLabel*>& Labels() const { return labels_; }

    // The form's own size, from its layout in twips.
    QSize sizeHint() const override;

    // Twips of the layout to pixels of this window, at its zoom.
    int PixelsX(int twips) const;
    int PixelsY(int twips) const;
    // The whole form, fonts and lines, drawn larger as one picture (1 to 4; 1:
    // the form's own size), for a window larger than the form.
    void SetZoom(double zoom);
    double Zoom() const { return zoom_; }

    void PrintToPrinter(const Report& report) override;
    ProgramState& State() { return state_; }
    const ProgramState& State() const { return state_; }

    // Every confirmed value of a run goes to the journal (none: no journal),
    // synced before the next box opens; a run that has all its values
    // removes it.
    void SetJournal(Journal* journal) { journal_ = journal; }
    // A run that takes the values of an observation file without their
    // prompts: a complete file runs without any box, an incomplete one asks
    // the rest.
    void RunFromRecord(const ObservationRecord& record);
    // The values the last run was given to take without their prompts
    // (empty for a run typed from the start).
    const ObservationRecord& Given() const { return given_; }
    // The points and sides of the last completed run, for the exports.
    const ChainListing* Listing() const { return Last() ? &Last()->listing : nullptr; }
    // Every figure of the last completed run (point precision, redundancy
    // numbers, the global test with the file's a-priori standard error).
    const ChainResult* Result() const { return Last() ? &Last()->result : nullptr; }
    // The last run that completed; it stays until another one completes, also
    // while a later run was cancelled or refused.
    const CompletedRun* Last() const { return state_.LastRun ? &*state_.LastRun : nullptr; }
    // Empty while the last run is the last completed one; after a run that did
    // not complete, the label of the completed run its tables and exports show:
    // "上次完成的平差：N = 12，王家庄 … 柳树湾（20:31 完成）".
    QString EarlierRunLabel() const;
    // The values of the last run stopped before they were all in, if it was one.
    const ObservationRecord* CutOffRun() const;

    QWidget& BoxParent() override { return *this; }
    BoxMemory& Boxes() override { return boxes_; }
    QRect FieldOnScreen(int n) const override;
    QRect DiagramsOnScreen() const override;
    void RevealField(int n) override;
    void BeforeBox() override;

    // A run is under way (its boxes are open).
    bool Running() const { return running_; }
    // Ends the run under way at its next box: the open box closes, the run
    // is cancelled, the journal keeps what was typed.
    void Abandon();
    bool Abandoning() const override { return abandoning_; }

public slots:
    void RunAdjustment();
    void PrintReport();
    void EndProgram();

signals:
    // kind: RunOutcome::Kind of the run that ended
    void RunEnded(int kind);

private:
    // The tips of the weakest point's fields name it.
    void NameTheWeakestPoint();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* AddLabel(const char* caption);
    // Places and sizes every control at the zoom.
    void LayOut();
    void OfferPdf(const Report& report, const QString& problem);
    // After 结束 on the question of a cancelled value box: how to go on.
    void TellHowToContinue(std::size_t values);

    void Run(const ObservationRecord* prefilled);
    // Warns that the journal cannot be written (error: the system's reason).
    void JournalNotWritten(const std::string& error);

    ProgramState state_;
    QString lastCompletedAt_;  // "20:31": when the last completed run completed
    ObservationRecord given_;
    Journal* journal_ = nullptr;
    BoxMemory boxes_;
    bool running_ = false;
    bool abandoning_ = false;
    double zoom_ = 1.0;
    std::array<QLineEdit*, 30> fields_{};
    std::array<QPushButton*, 4> buttons_{};
    std::vector<QLabel*> labels_;
};
