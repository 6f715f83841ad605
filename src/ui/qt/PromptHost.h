#pragma once
// What the Qt platform needs of the window that hosts a run's boxes: where
// the boxes go, the fields they write and the printer. The window is one;
// the platform knows it only through this.
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

#include "rules/Report.h"

class QWidget;

// Where the boxes of a run open: the field they ask about, and where the
// operator last moved one (the next open there).
struct BoxMemory {
    int field = 0;
    std::optional<QPoint> movedTo;
};

class PromptHost {
public:
    virtual ~PromptHost() = default;
    // The widget the boxes belong to.
    virtual QWidget& BoxParent() = 0;
    virtual BoxMemory& Boxes() = 0;
    // Field TextN and the numbering diagrams in screen pixels (an empty
    // rectangle for no field).
    virtual QRect FieldOnScreen(int n) const = 0;
    virtual QRect DiagramsOnScreen() const = 0;
    // Brings field TextN into view where the form is scrolled (a small
    // window, a large screen scale) before a box asks about it.
    virtual void RevealField(int /*n*/) {}
    // A box is about to wait for the operator: what was typed is made safe
    // first (the journal synced).
    virtual void BeforeBox() {}
    // The host is being closed: the open box ends the run.
    virtual bool Abandoning() const = 0;
    // The field's tip is the text, or `tip` where one is given.
    virtual void SetFieldText(int field, const QString& text, const QString& tip = {}) = 0;
    // Prints the report on the default printer; when there is none or it
    // fails, offers to save the report as a PDF file.
    virtual void PrintToPrinter(const Report& report) = 0;
};
