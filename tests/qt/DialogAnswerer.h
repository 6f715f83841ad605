#pragma once
// Plays the operator at the real window: a short timer looks for the active
// modal widget and answers it. A prompt box gets the next answer typed into
// its entry and Enter pressed (Cancel when the answers ran out); a message box
// is recorded and closed; the answer "<CANCEL>" presses Cancel; the question box
// that follows a Cancel gets the button named by the next answer in angle
// brackets ("<继续输入>"), else 结束; a file dialog is answered with a fixed file name or
// rejected; a print dialog is accepted as it stands.
#include <QObject>
#include <functional>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <string>
#include <vector>

class DialogAnswerer : public QObject {
    Q_OBJECT
public:
    explicit DialogAnswerer(std::vector<std::string> answers, QObject* parent = nullptr);

    // What a message box gets: its default button (Enter) or Escape.
    void SetAcceptMessages(bool accept) { acceptMessages_ = accept; }
    // File name typed into a save dialog; empty: the dialog is rejected.
    void SetSaveFile(const QString& file) { saveFile_ = file; }
    // The button a message box gets instead of its default (with SetAcceptMessages).
    void SetMessageButton(int standardButton) { messageButton_ = standardButton; }
    // When the prompt of answer index `at` opens, the window is closed
    // instead of the prompt answered.
    void SetCloseAt(std::size_t at, QWidget* window) { closeAt_ = at, closeWindow_ = window; }
    // Called with each prompt box, and its index, before it is answered.
    void SetBeforeAnswer(std::function<void(QWidget* box, int index)> look) { look_ = std::move(look); }
    // The operator drags the first prompt box to this point before answering it.
    void SetMoveFirstTo(const QPoint& to) { moveFirstTo_ = to, moveFirst_ = true; }

    const QStringList& Prompts() const { return prompts_; }
    // Where each prompt box stood on the screen when it was answered.
    const QList<QRect>& PromptFrames() const { return frames_; }
    const QStringList& Messages() const { return messages_; }
    const QStringList& Questions() const { return questions_; }
    // The messages of every box that were cut off or squeezed on the screen.
    const QStringList& CutMessages() const { return cutMessages_; }
    // The printer each print dialog had chosen when it was accepted.
    const QStringList& PrintDialogs() const { return printDialogs_; }
    // The print dialog's report: the full report instead of the adjustment report.
    void SetFullReport(bool full) { fullReport_ = full; }
    int Unanswered() const { return static_cast<int>(answers_.size() - next_); }

private slots:
    void Poll();

private:
    std::vector<std::string> answers_;
    std::size_t next_ = 0;
    bool acceptMessages_ = false;
    QString saveFile_;
    int messageButton_ = 0;
    std::size_t closeAt_ = static_cast<std::size_t>(-1);
    QWidget* closeWindow_ = nullptr;
    QPoint moveFirstTo_;
    bool moveFirst_ = false;
    QList<QRect> frames_;
    std::function<void(QWidget*, int)> look_;
    QStringList prompts_;
    QStringList messages_;
    QStringList questions_;
    QStringList cutMessages_;
    QStringList printDialogs_;
    bool fullReport_ = false;
    QTimer timer_;
};
