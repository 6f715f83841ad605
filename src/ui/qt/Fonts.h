#pragma once
// The faces the window and the report ask for by name, and the installed fonts
// that stand in for them: "宋体" is a Song (serif) face, so a CJK serif font;
// "MS Sans Serif" a plain sans face.
#include <QFont>

#include "ui/qt/FormLayout.h"

// Registers the substitutes and the program's name; call once after the
// QApplication exists, before any window is built.
void SetUpApplication();

// The font of a control or label of the window.
QFont FormFont(form::FontKind kind);
