// Number and blank handling shared by the command line and the settings file.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace zentrok {

// Reads a 32-bit signed integer: optional leading blanks, an optional sign, then
// decimal digits, or "$", "x", "X", "0x", "0X" and hexadecimal digits (two's
// complement; the sign is then ignored). Anything else gives fallback.
std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback);

// Removes every leading and trailing byte of value 0x20 or less.
std::string Trim(std::string_view text);

} // namespace zentrok
