#include "ui/qt/QtPlatform.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "state/RunFault.h"
#include "ui/qt/BoxPlacement.h"
#include "ui/qt/PromptHost.h"
#include "ui/qt/QtText.h"

// The box's message: the first label with text (a message box's icon is a
// label too, with a picture and no text).
static QLabel* MessageLabel(QDialog& box)
{
    for (QLabel* label : box.findChildren<QLabel*>())
        if (!label->text().isEmpty() && label->pixmap().isNull()) return label;
    return nullptr;
}

void FitTitle(QDialog& box)
{
    // the title bar's buttons and margins take about 150 px beside the title
    const int title = QFontMetrics(QApplication::font()).horizontalAdvance(box.windowTitle()) + 150;
    // the box's layout sets its size from its contents: widen the message
    // (a short one only: a message box sizes itself from its message's
    // minimum width, and a long message it wraps itself)
    if (QLabel* label = MessageLabel(box); label && label->sizeHint().width() < title - 18)
        label->setMinimumWidth(std::max(label->minimumWidth(), title - 18));
    box.setMinimumWidth(std::max(box.minimumWidth(), title));
}

// A box wider than the screen (a long message at a large scale) wraps its
// message to the screen's width instead of running off its edge. One that
// fits gets its whole width: adjustSize alone keeps a window within two
// thirds of the screen, which cuts a long message off at a large scale.
static void FitScreen(QDialog& box, const QRect& screen)
{
    const int room = screen.width() - 24;  // the frame's borders and a margin
    // a message box wraps its message within the screen itself, and sets its
    // own size when shown: a label held wider than that would be cut off
    if (box.sizeHint().width() > room && !qobject_cast<QMessageBox*>(&box)) {
        for (QLabel* label : box.findChildren<QLabel*>()) {
            if (label->text().isEmpty() || !label->pixmap().isNull()) continue;
            const int beside = box.sizeHint().width() - label->sizeHint().width();
            label->setMinimumWidth(0);
            label->setWordWrap(true);
            label->setFixedWidth(std::max(100, room - beside));
        }
        box.setMinimumWidth(0);
    }
    box.adjustSize();
    const int whole = box.sizeHint().width();
    if (box.width() < whole) box.resize(whole, std::max(box.height(), box.heightForWidth(whole)));
}

int QtPlatform::Show(QDialog& box)
{
    host_.BeforeBox();
    FitTitle(box);
    box.adjustSize();
    const QWidget* owner = host_.BoxParent().window();
    FitScreen(box, (owner->screen() ? owner->screen() : QApplication::primaryScreen())->availableGeometry());
    BoxMemory& memory = host_.Boxes();
    QPoint at;
    if (memory.movedTo) {
        at = *memory.movedTo;
    } else {
        const QWidget* top = host_.BoxParent().window();
        BoxScene scene;
        scene.screen = (top->screen() ? top->screen() : QApplication::primaryScreen())->availableGeometry();
        scene.window = top->frameGeometry();
        scene.field = host_.FieldOnScreen(memory.field);
        scene.diagrams = host_.DiagramsOnScreen();
        at = PlaceBox(scene, box.frameGeometry().size());
    }
    box.move(at);
    const int result = box.exec();
    // a box the operator moved: the next ones open where it was left
    if (box.pos() != at) memory.movedTo = box.pos();
    return result;
}

void QtPlatform::AskingFor(int field)
{
    host_.Boxes().field = field;
    host_.RevealField(field);
}

std::optional<std::string> QtPlatform::Prompt(const std::string& message, int* result, bool showAll)
{
    // The program's own title, the message, an empty entry; Enter is OK.
    QInputDialog dialog(&host_.BoxParent());
    dialog.setObjectName("PromptBox");
    dialog.setWindowTitle(QApplication::applicationName());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(ToQString(message));
    dialog.setTextValue(QString());
    dialog.setOkButtonText(QString::fromUtf8("确定"));
    dialog.setCancelButtonText(QString::fromUtf8("取消"));
    dialog.setModal(true);
    if (showAll)
        if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
            QPushButton* all = buttons->addButton(QString::fromUtf8("全部显示"), QDialogButtonBox::ActionRole);
            all->setObjectName("ShowAll");
            all->setAutoDefault(false);
            QObject::connect(all, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(ShowAll); });
        }
    *result = Show(dialog);
    if (host_.Abandoning()) throw RunCancelled{};  // the window is being closed
    if (*result != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

std::optional<std::string> QtPlatform::PromptBox(const std::string& message)
{
    int result = 0;
    return Prompt(message, &result, false);
}

bool QtPlatform::PacingPrompt(const std::string& message)
{
    int result = 0;
    Prompt(message, &result, true);
    return result == ShowAll;
}

std::size_t QtPlatform::QuestionBox(const std::string& text, const std::vector<std::string>& buttons)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), ToQString(text), QMessageBox::NoButton,
                    &host_.BoxParent());
    box.setObjectName("QuestionBox");
    std::vector<QAbstractButton*> pressable;
    for (const std::string& caption : buttons)
        pressable.push_back(box.addButton(ToQString(caption), pressable.empty() ? QMessageBox::AcceptRole
                                                                                : QMessageBox::RejectRole));
    if (!pressable.empty()) {
        box.setDefaultButton(static_cast<QPushButton*>(pressable.front()));
        box.setEscapeButton(pressable.front());
    }
    Show(box);
    if (host_.Abandoning()) throw RunCancelled{};  // the window is being closed
    for (std::size_t b = 0; b < pressable.size(); ++b)
        if (box.clickedButton() == pressable[b]) return b;
    return 0;
}

void QtPlatform::MessageBox(const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), ToQString(text), QMessageBox::Ok, &host_.BoxParent());
    box.setObjectName("MessageBox");
    box.button(QMessageBox::Ok)->setText(QString::fromUtf8("确定"));
    Show(box);
}

void QtPlatform::SetFieldText(int field, const std::string& text) { host_.SetFieldText(field, ToQString(text)); }

void QtPlatform::SetFieldTextWithTip(int field, const std::string& text, const std::string& tip)
{
    host_.SetFieldText(field, ToQString(text), ToQString(tip));
}

void QtPlatform::PrintReport(const Report& report) { host_.PrintToPrinter(report); }
