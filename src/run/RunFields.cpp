#include "run/RunFields.h"

void RunFields::SetFieldText(int field, const std::string& text)
{
    if (field >= 0 && field < static_cast<int>(written_.size())) written_.set(static_cast<std::size_t>(field));
    platform_.SetFieldText(field, text);
}

void RunFields::EmptyUnwrittenResultFields()
{
    for (int field = 12; field <= 25; ++field) {
        if (field == 13 || written_.test(static_cast<std::size_t>(field))) continue;
        SetFieldText(field, "");
    }
}
