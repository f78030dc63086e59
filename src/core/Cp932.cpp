#include "Cp932.h"

namespace zentrok {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

namespace {
// Length of the character at i; a lead byte at the very end counts as one byte.
std::size_t CharLength(std::string_view text, std::size_t i)
{
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}
} // namespace

std::size_t LastCharStart(std::string_view text)
{
    std::size_t last = npos;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) last = i;
    return last;
}

std::size_t FindChar(std::string_view text, char c)
{
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i))
        if (text[i] == c) return i;
    return npos;
}

std::size_t LastDelimiter(std::string_view chars, std::string_view text)
{
    std::size_t found = npos;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i))
        if (CharLength(text, i) == 1 && chars.find(text[i]) != npos) found = i;
    return found;
}

} // namespace zentrok
