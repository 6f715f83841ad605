#pragma once
// A figure in its field: whole where it fits (FormFields ColumnsOf), else
// "超限" with the figure, without its leading blanks, as the field's tip.
#include <string>

#include "rules/Platform.h"

void ShowFigure(Platform& p, int field, const std::string& text);

// Whether the text fits field TextN.
bool FitsField(int field, const std::string& text);
