#pragma once
// Plays the operator at the real window: a short timer looks for the active
// modal widget and answers it. A prompt box gets the next answer typed into
// its entry and Enter pressed (Cancel when the answers ran out); a message box
// is recorded and closed; the answer "<CANCEL>" presses Cancel; a file dialog is answered with a fixed file name or
// rejected.
#include <QObject>
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

    const QStringList& Prompts() const { return prompts_; }
    const QStringList& Messages() const { return messages_; }
    int Unanswered() const { return static_cast<int>(answers_.size() - next_); }

private slots:
    void Poll();

private:
    std::vector<std::string> answers_;
    std::size_t next_ = 0;
    bool acceptMessages_ = false;
    QString saveFile_;
    QStringList prompts_;
    QStringList messages_;
    QTimer timer_;
};
