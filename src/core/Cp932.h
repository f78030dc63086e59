// Code page 932 (Shift_JIS) text helpers. Texts are byte strings; a scan for a
// path character steps over double-byte characters whole, so that a trail byte
// such as 0x5C is never taken for "\".
#pragma once
#include <cstddef>
#include <string_view>

namespace zentrok {

constexpr std::size_t npos = std::string_view::npos;

// True for the first byte of a double-byte character.
bool IsLeadByte(unsigned char c);

// Offset of the first byte of the last character, npos for an empty text.
std::size_t LastCharStart(std::string_view text);

// Offset of the first whole character equal to c (a single-byte character), or npos.
std::size_t FindChar(std::string_view text, char c);

// Offset of the last whole character that is one of chars (single-byte characters), or npos.
std::size_t LastDelimiter(std::string_view chars, std::string_view text);

} // namespace zentrok
