#include "run/RunFields.h"
#include "rules/FormFields.h"

void RunFields::SetFieldText(int field, const std::string& text)
{
    if (field >= 0 && field < static_cast<int>(written_.size())) written_.set(static_cast<std::size_t>(field));
    platform_.SetFieldText(field, text);
}

void RunFields::EmptyUnwrittenResultFields()
{
    for (int n = field::FIRST_RESULT; n <= field::LAST_RESULT; ++n) {
        if (n == 13 || written_.test(static_cast<std::size_t>(n))) continue;
        SetFieldText(n, "");
    }
}
