#include "ui/qt/QtPlatform.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/qt/MainWindow.h"

QString ToQString(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

std::optional<std::string> QtPlatform::PromptBox(const std::string& message)
{
    // The program's own title, the message, an empty entry; Enter is OK.
    QInputDialog dialog(&window_);
    dialog.setObjectName("PromptBox");
    dialog.setWindowTitle(QApplication::applicationName());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(ToQString(message));
    dialog.setTextValue(QString());
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

void QtPlatform::MessageBox(const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), ToQString(text), QMessageBox::Ok, &window_);
    box.setObjectName("MessageBox");
    box.exec();
}

void QtPlatform::SetFieldText(int field, const std::string& text) { window_.SetFieldText(field, ToQString(text)); }

void QtPlatform::PrintReport(const Report& report) { window_.PrintToPrinter(report); }
