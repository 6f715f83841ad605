#pragma once
// Point names as the exports meet them: kept byte for byte from the dialogue
// or an observation file, so not always valid UTF-8 nor free of control
// characters.
#include <string>
#include <string_view>

#include "text/Utf8.h"

// The name as a refusal message shows it, in “ ” quotes: valid UTF-8 kept,
// every other byte as \xHH, line breaks and other control characters as \n,
// \r, \t or \xHH.
std::string QuotedName(std::string_view name);

// The text with every byte that is not part of well-formed UTF-8 replaced by
// U+FFFD; for free text (a project name) where a refusal would be too much.
std::string ValidUtf8Text(std::string_view bytes);
