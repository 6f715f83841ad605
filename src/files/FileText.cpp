#include "files/FileText.h"

#include <algorithm>

#include "text/Utf8.h"

namespace {

bool IsBlankByte(char c) { return c == ' ' || c == '\t'; }

char HexDigit(unsigned v) { return "0123456789ABCDEF"[v & 0xF]; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendHex(std::string& out, std::string_view bytes)
{
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out += "\\x";
        out += HexDigit(b >> 4);
        out += HexDigit(b);
    }
}

// Characters that are valid UTF-8 but that an editor hides or takes for a
// line end: C1 controls, the line and paragraph separators, the byte order mark.
bool HiddenCharacter(std::string_view s, std::size_t at, std::size_t length)
{
    auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[at + i]); };
    if (length == 2) return b(0) == 0xC2 && b(1) < 0xA0;
    if (length == 3)
        return (b(0) == 0xE2 && b(1) == 0x80 && (b(2) == 0xA8 || b(2) == 0xA9)) ||
               (b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF);
    return false;
}

}  // namespace

std::string EscapeValue(std::string_view value)
{
    // blanks at either end: the whole run of them, so that the line reads plainly
    std::size_t begin = 0, end = value.size();
    while (begin < end && IsBlankByte(value[begin])) ++begin;
    while (end > begin && IsBlankByte(value[end - 1])) --end;

    std::string out;
    out.reserve(value.size() + 8);
    for (std::size_t i = 0; i < value.size();) {
        const char c = value[i];
        const auto b = static_cast<unsigned char>(c);
        if (c == ' ') {
            out += i < begin || i >= end ? "\\s" : " ";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '#') {
            out += "\\#";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (b < 0x20 || b == 0x7F) {
            AppendHex(out, value.substr(i, 1));
        } else if (b >= 0x80) {
            std::size_t length = Utf8CharLength(value, i);
            if (length == 0) {
                AppendHex(out, value.substr(i, 1));
                length = 1;
            } else if (HiddenCharacter(value, i, length)) {
                AppendHex(out, value.substr(i, length));
            } else {
                out.append(value.substr(i, length));
            }
            i += length;
            continue;
        } else {
            out += c;
        }
        ++i;
    }
    return out;
}

std::optional<std::string> UnescapeValue(std::string_view escaped, std::string* error)
{
    std::string out;
    out.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') {  // the text up to the next escape as it stands
            const std::size_t escape = std::min(escaped.find('\\', i), escaped.size());
            out.append(escaped.substr(i, escape - i));
            i = escape - 1;
            continue;
        }
        if (i + 1 == escaped.size()) {
            *error = "值末尾的「\\」后面缺少字符（反斜杠本身写作 \\\\）";
            return std::nullopt;
        }
        const char e = escaped[++i];
        switch (e) {
        case '\\': out += '\\'; break;
        case '#': out += '#'; break;
        case 's': out += ' '; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 'x': {
            int high = i + 1 < escaped.size() ? HexValue(escaped[i + 1]) : -1;
            int low = i + 2 < escaped.size() ? HexValue(escaped[i + 2]) : -1;
            if (high < 0 || low < 0) {
                *error = "转义「\\x」后面应是两位十六进制数字（例如 \\x01）";
                return std::nullopt;
            }
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default: {
            std::size_t length = Utf8CharLength(escaped, i);
            *error = "不认识的转义「\\" + std::string(escaped.substr(i, length == 0 ? 1 : length)) +
                     "」：可用的转义为 \\\\ \\# \\s \\t \\n \\r \\xHH";
            return std::nullopt;
        }
        }
    }
    return out;
}

std::size_t CommentStart(std::string_view line)
{
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\') {
            ++i;
        } else if (line[i] == '#') {
            return i;
        }
    }
    return std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view line)
{
    while (!line.empty() && IsBlankByte(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsBlankByte(line.back())) line.remove_suffix(1);
    return line;
}
