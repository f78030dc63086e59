// Where a long text is cut into pieces for the system's conversions, whose counts are ints.
// Each cut leaves a piece of at least one unit, whatever the text holds, so that a loop over
// the pieces always gets on.
#pragma once
#include <string_view>

namespace zentrok::report {

// After the last line end within most units, else at most: a line of a gigabyte is cut anywhere.
template <typename Char>
std::size_t LineCut(std::basic_string_view<Char> text, std::size_t most)
{
    if (text.size() <= most) return text.size();
    const std::size_t end = text.substr(0, most).rfind(Char('\n'));
    return end == std::basic_string_view<Char>::npos ? most : end + 1;
}

// Before the first byte of the UTF-8 character at most; bytes that are no UTF-8 there (a
// character is four bytes at the most) are cut at most.
inline std::size_t CharacterCut(std::string_view text, std::size_t most)
{
    if (text.size() <= most) return text.size();
    for (std::size_t cut = most; cut > 0 && cut + 4 > most; --cut)
        if ((static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80) return cut;
    return most;
}

} // namespace zentrok::report
