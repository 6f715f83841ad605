#include "ui/qt/QtPlatform.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "ui/qt/MainWindow.h"

QString ToQString(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

std::optional<std::string> QtPlatform::PromptBox(const std::string& message)
{
    QInputDialog dialog(&window_);
    dialog.setWindowTitle(QApplication::applicationName());
    dialog.setLabelText(ToQString(message));
    dialog.setTextValue(QString());
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

void QtPlatform::MessageBox(const std::string& text)
{
    QMessageBox::warning(&window_, QApplication::applicationName(), ToQString(text));
}

void QtPlatform::SetFieldText(int field, const std::string& text) { window_.SetFieldText(field, ToQString(text)); }

void QtPlatform::PrintReport(const Report& report) { window_.PrintToPrinter(report); }
