#include "run/RunFields.h"
#include "rules/FormFields.h"

void RunFields::EmptyResultFields()
{
    for (int n = field::FIRST_RESULT; n <= field::LAST_RESULT; ++n)
        if (n != 13) SetFieldText(n, "");
}
