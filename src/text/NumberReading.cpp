#include "text/NumberReading.h"

#include <charconv>
#include <cmath>
#include <system_error>

std::string NormaliseFullWidth(std::string_view s)
{
    // plain ASCII, as nearly every number is typed: nothing to change
    bool ascii = true;
    for (char c : s) ascii &= static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(s);

    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        // U+FF01..U+FF5E are EF BC 81..EF BD 9E in UTF-8.
        if (c == 0xEF && i + 2 < s.size()) {
            auto c1 = static_cast<unsigned char>(s[i + 1]);
            auto c2 = static_cast<unsigned char>(s[i + 2]);
            unsigned code = 0;
            if (c1 == 0xBC && c2 >= 0x80 && c2 <= 0xBF) code = 0xFF00 + (c2 - 0x80);
            if (c1 == 0xBD && c2 >= 0x80 && c2 <= 0xBF) code = 0xFF40 + (c2 - 0x80);
            bool digit = code >= 0xFF10 && code <= 0xFF19;
            if (digit || code == 0xFF0B || code == 0xFF0D || code == 0xFF0E) {
                out.push_back(static_cast<char>(code - 0xFF00 + 0x20));
                i += 2;
                continue;
            }
        }
        // U+3000 (ideographic blank) is E3 80 80; U+3002 "。", the full stop a
        // Chinese input method types for ".", is E3 80 82 and reads as a point.
        if (c == 0xE3 && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x80) {
            const auto c2 = static_cast<unsigned char>(s[i + 2]);
            if (c2 == 0x80 || c2 == 0x82) {
                out.push_back(c2 == 0x80 ? ' ' : '.');
                i += 2;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return out;
}

static bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(std::string_view answer)
{
    std::string s = NormaliseFullWidth(answer);
    for (char c : s)
        if (!IsBlankChar(c)) return false;
    return true;
}

namespace {
thread_local long numbersRead = 0;
}

long NumbersRead() { return numbersRead; }

std::optional<double> ReadNumber(std::string_view answer)
{
    ++numbersRead;
    // the answer itself where it is plain ASCII, else its full-width forms made plain
    bool ascii = true;
    for (char c : answer) ascii &= static_cast<unsigned char>(c) < 0x80;
    std::string normalised;
    if (!ascii) normalised = NormaliseFullWidth(answer);
    const std::string_view s = ascii ? answer : std::string_view(normalised);
    std::size_t begin = 0, end = s.size();
    while (begin < end && IsBlankChar(s[begin])) ++begin;
    while (end > begin && IsBlankChar(s[end - 1])) --end;
    if (begin == end) return std::nullopt;

    // Check the grammar ourselves: from_chars alone would accept "inf" and "nan"
    // and stop silently before trailing garbage.
    std::size_t i = begin;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') {
        negative = s[i] == '-';
        ++i;
    }
    std::size_t mantissaBegin = i;
    std::size_t digits = 0;
    bool nonZeroDigit = false;
    while (i < end && IsDigit(s[i])) { nonZeroDigit |= s[i] != '0'; ++i; ++digits; }
    if (i < end && s[i] == '.') {
        ++i;
        while (i < end && IsDigit(s[i])) { nonZeroDigit |= s[i] != '0'; ++i; ++digits; }
    }
    if (digits == 0) return std::nullopt;
    std::size_t mantissaEnd = i;
    if (i < end && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < end && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < end && IsDigit(s[i])) { ++i; ++expDigits; }
        if (expDigits == 0) return std::nullopt;
    }
    if (i != end) return std::nullopt;
    if (!nonZeroDigit) return negative ? -0.0 : 0.0;

    // from_chars takes no leading '+' and no leading '.' problems.
    double value = 0;
    auto result = std::from_chars(s.data() + mantissaBegin, s.data() + end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range is either overflow (not a number) or underflow (zero).
        // The decimal exponent of the leading digit tells which.
        long exponent = 0;
        std::size_t e = s.find_first_of("eE", mantissaBegin);
        if (e != std::string::npos && e < end) {
            std::string_view ex(s.data() + e + 1, end - e - 1);
            bool expNegative = !ex.empty() && ex[0] == '-';
            if (!ex.empty() && (ex[0] == '-' || ex[0] == '+')) ex.remove_prefix(1);
            long parsed = 0;
            for (char c : ex) {
                parsed = parsed * 10 + (c - '0');
                if (parsed > 100000000) break;
            }
            exponent = expNegative ? -parsed : parsed;
        }
        // position of the first non-zero digit relative to the decimal point
        long lead = 0;
        std::size_t point = s.find('.', mantissaBegin);
        if (point == std::string::npos || point > mantissaEnd) point = mantissaEnd;
        for (std::size_t k = mantissaBegin; k < mantissaEnd; ++k) {
            if (s[k] == '.' || s[k] == '0') continue;
            lead = k < point ? static_cast<long>(point - k) - 1 : -static_cast<long>(k - point);
            break;
        }
        if (exponent + lead < 0) return negative ? -0.0 : 0.0;
        return std::nullopt;
    }
    if (result.ec != std::errc() || result.ptr != s.data() + end) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}
