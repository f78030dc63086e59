#include "Text.h"

#include <cstdint>

namespace zentrok {

namespace {
int DigitValue(char c, int base)
{
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

// Consumes digits of the base from i to the end; false when there are none, when
// something else follows, or when the value exceeds limit.
bool ReadDigits(std::string_view text, std::size_t i, int base, std::uint64_t limit, std::uint64_t& value)
{
    if (i >= text.size()) return false;
    value = 0;
    for (; i < text.size(); ++i) {
        const int d = DigitValue(text[i], base);
        if (d < 0) return false;
        value = value * base + static_cast<unsigned>(d);
        if (value > limit) return false;
    }
    return true;
}
} // namespace

std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    std::size_t hexStart = std::string_view::npos;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) hexStart = i + 1;
    else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) hexStart = i + 2;

    std::uint64_t value = 0;
    if (hexStart != std::string_view::npos) {
        if (!ReadDigits(text, hexStart, 16, 0xFFFFFFFFu, value)) return fallback;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    if (!ReadDigits(text, i, 10, negative ? 2147483648u : 2147483647u, value)) return fallback;
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value));
}

std::string Trim(std::string_view text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
    return std::string(text.substr(begin, end - begin));
}

} // namespace zentrok
