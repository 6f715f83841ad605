#pragma once
// The text of one value line of an observation file: UTF-8 checking and the
// escape that lets a plain line hold any bytes.
//   \\  a backslash        \#  a number sign (# otherwise starts a comment)
//   \s  a blank            \t \n \r  tab, line feed, carriage return
//   \xHH  the byte HH (two hex digits): control characters, bytes that are
//         not UTF-8
// Blanks and tabs at either end of a value are not part of it; \s and \t keep
// them.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The value as a line writes it: every byte a plain line cannot hold, or an
// editor would show badly, escaped.
std::string EscapeValue(std::string_view value);

// The bytes of an escaped value; error gets the reason when an escape is bad.
std::optional<std::string> UnescapeValue(std::string_view escaped, std::string* error);

// The position of the '#' that starts a comment in a line (one not escaped),
// or npos.
std::size_t CommentStart(std::string_view line);

// line without blanks and tabs at either end.
std::string_view TrimBlanks(std::string_view line);
