#include "display/FieldFit.h"

#include "rules/FormFields.h"
#include "rules/PromptTexts.h"
#include "text/Utf8.h"

bool FitsField(int field, const std::string& text)
{
    const int columns = field::ColumnsOf(field);
    return columns == 0 || DisplayColumns(text) <= columns;
}

void ShowFigure(Platform& p, int field, const std::string& text)
{
    if (FitsField(field, text)) return p.SetFieldText(field, text);
    const std::size_t from = text.find_first_not_of(' ');
    p.SetFieldTextWithTip(field, texts::BEYOND_FIELD, from == std::string::npos ? text : text.substr(from));
}
