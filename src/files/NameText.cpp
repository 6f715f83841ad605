#include "files/NameText.h"

#include <cstdio>

namespace {

// Length of the well-formed UTF-8 sequence at s[i], or 0 when there is none.
std::size_t SequenceLength(std::string_view s, std::size_t i)
{
    const auto byte = [&s](std::size_t j) { return static_cast<unsigned char>(s[j]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) return 1;
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) len = 2;
    else if (b0 == 0xE0) { len = 3; lo = 0xA0; }
    else if (b0 >= 0xE1 && b0 <= 0xEC) len = 3;
    else if (b0 == 0xED) { len = 3; hi = 0x9F; }  // no surrogates
    else if (b0 >= 0xEE && b0 <= 0xEF) len = 3;
    else if (b0 == 0xF0) { len = 4; lo = 0x90; }
    else if (b0 >= 0xF1 && b0 <= 0xF3) len = 4;
    else if (b0 == 0xF4) { len = 4; hi = 0x8F; }  // nothing above U+10FFFF
    else return 0;
    if (i + len > s.size()) return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi) return 0;
    for (std::size_t j = 2; j < len; ++j)
        if (byte(i + j) < 0x80 || byte(i + j) > 0xBF) return 0;
    return len;
}

std::string Hex(unsigned char b)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02X", b);
    return buf;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t len = SequenceLength(bytes, i);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

std::string QuotedName(std::string_view name)
{
    std::string out = "“";
    for (std::size_t i = 0; i < name.size();) {
        const auto b = static_cast<unsigned char>(name[i]);
        std::size_t len = SequenceLength(name, i);
        if (len == 0) {
            out += Hex(b);
            ++i;
            continue;
        }
        if (b == '\n') out += "\\n";
        else if (b == '\r') out += "\\r";
        else if (b == '\t') out += "\\t";
        else if (b < 0x20 || b == 0x7F) out += Hex(b);
        else out.append(name.substr(i, len));
        i += len;
    }
    return out + "”";
}

std::string ValidUtf8Text(std::string_view bytes)
{
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t len = SequenceLength(bytes, i);
        if (len == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(bytes.substr(i, len));
            i += len;
        }
    }
    return out;
}
