#pragma once
// UTF-8 as every part of the program reads it: well-formed sequences only (no
// overlong forms, no surrogates, nothing beyond U+10FFFF); any other byte is
// one character of its own, shown as U+FFFD where a character must be shown.
#include <cstddef>
#include <string>
#include <string_view>

// The length of the valid UTF-8 character at s[at] (1..4), or 0 when the
// bytes there are not one.
std::size_t Utf8CharLength(std::string_view s, std::size_t at);

// The character at s[at], at moved past it; a byte that does not start a
// valid character decodes alone as U+FFFD.
char32_t DecodeUtf8At(std::string_view s, std::size_t& at);

// Whether the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

// Columns a text takes in a fixed-width rendering: a full-width (East Asian
// wide) character counts two, every other character one.
int DisplayColumns(std::string_view utf8);
