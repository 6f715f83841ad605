#include "DialogAnswerer.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

DialogAnswerer::DialogAnswerer(std::vector<std::string> answers, QObject* parent)
    : QObject(parent), answers_(std::move(answers))
{
    connect(&timer_, &QTimer::timeout, this, &DialogAnswerer::Poll);
    timer_.start(1);
}

// A message shown whole: a label that does not wrap is as wide as its text,
// one that wraps has the height its lines need and is not squeezed into a
// column of a few characters.
static bool ShownWhole(const QLabel& label, const QWidget& box)
{
    if (!label.wordWrap()) return label.width() >= label.sizeHint().width();
    return label.width() * 3 >= box.width() && label.height() >= label.heightForWidth(label.width());
}

void DialogAnswerer::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal->property("answered").toBool()) return;
    modal->setProperty("answered", true);
    for (const QLabel* label : modal->findChildren<QLabel*>())
        if (!label->text().isEmpty() && label->isVisible() && !ShownWhole(*label, *modal)) cutMessages_ << label->text();

    if (auto* prompt = qobject_cast<QInputDialog*>(modal)) {
        if (closeWindow_ && next_ == closeAt_) {
            closeAt_ = static_cast<std::size_t>(-1);
            modal->setProperty("answered", false);
            QTimer::singleShot(0, closeWindow_, &QWidget::close);  // the operator closes the window behind the box
            return;
        }
        if (moveFirst_ && prompts_.isEmpty()) prompt->move(moveFirstTo_);
        prompts_ << prompt->labelText();
        frames_ << prompt->frameGeometry();
        if (look_) look_(prompt, static_cast<int>(prompts_.size()) - 1);
        if (next_ >= answers_.size()) {
            prompt->reject();
            return;
        }
        const std::string& answer = answers_[next_++];
        if (answer == "<CANCEL>") {
            prompt->reject();
            return;
        }
        if (answer == "<ALL>")
            if (auto* all = prompt->findChild<QPushButton*>("ShowAll")) {
                all->click();
                return;
            }
        auto* entry = prompt->findChild<QLineEdit*>();
        entry->setText(QString::fromStdString(answer));
        QTest::keyClick(entry, Qt::Key_Return);
        return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->objectName() == "QuestionBox") {
        // as the scripted operator: the button named next in angle brackets, else the last
        questions_ << box->text();
        const QList<QAbstractButton*> buttons = box->buttons();
        QAbstractButton* pressed = nullptr;
        for (QAbstractButton* b : buttons)
            if (next_ < answers_.size() && QString::fromStdString(answers_[next_]) == "<" + b->text() + ">") pressed = b;
        if (pressed)
            ++next_;
        else
            for (QAbstractButton* b : buttons)
                if (box->buttonRole(b) == QMessageBox::RejectRole) pressed = b;
        if (pressed) pressed->click();
        return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        messages_ << box->text();
        QAbstractButton* chosen = messageButton_ ? box->button(static_cast<QMessageBox::StandardButton>(messageButton_)) : nullptr;
        if (acceptMessages_ && chosen)
            chosen->click();
        else if (acceptMessages_ && box->defaultButton())
            box->defaultButton()->click();
        else
            box->reject();
        return;
    }
    if (auto* print = qobject_cast<QPrintDialog*>(modal)) {
        // the operator presses 打印 with what the dialog chose, or the report chosen by SetFullReport
        printDialogs_ << print->printer()->printerName();
        if (fullReport_)
            if (auto* full = print->findChild<QAbstractButton*>("FullReportChoice")) full->click();
        static_cast<QDialog*>(print)->accept();
        return;
    }
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        if (saveFile_.isEmpty()) {
            files->reject();
        } else {
            files->selectFile(saveFile_);
            static_cast<QDialog*>(files)->accept();  // public in QDialog
        }
        return;
    }
    modal->close();
}
