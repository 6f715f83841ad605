#include "text/Utf8.h"

namespace {

bool IsWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

std::size_t Utf8CharLength(std::string_view s, std::size_t at)
{
    auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[at + i]); };
    const std::size_t left = s.size() - at;
    const unsigned c = b(0);
    if (c < 0x80) return 1;
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;   // no overlong forms
        if (c == 0xED) high = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (left < length) return 0;
    if (b(1) < low || b(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (b(i) < 0x80 || b(i) > 0xBF) return 0;
    return length;
}

char32_t DecodeUtf8At(std::string_view s, std::size_t& at)
{
    const std::size_t length = Utf8CharLength(s, at);
    if (length == 0) {
        ++at;
        return 0xFFFD;
    }
    const auto first = static_cast<unsigned char>(s[at]);
    char32_t code = length == 1 ? first : (first & (0x7F >> length));
    for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(s[at + k]) & 0x3F);
    at += length;
    return code;
}

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8CharLength(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

int DisplayColumns(std::string_view utf8)
{
    int columns = 0;
    for (std::size_t i = 0; i < utf8.size();) columns += IsWide(DecodeUtf8At(utf8, i)) ? 2 : 1;
    return columns;
}
