#include "files/NameText.h"

#include <cstdio>

#include "text/Utf8.h"

namespace {

std::string Hex(unsigned char b)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02X", b);
    return buf;
}

}  // namespace

std::string QuotedName(std::string_view name)
{
    std::string out = "“";
    for (std::size_t i = 0; i < name.size();) {
        const auto b = static_cast<unsigned char>(name[i]);
        std::size_t len = Utf8CharLength(name, i);
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
        std::size_t len = Utf8CharLength(bytes, i);
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
