// The command line: argument 1 and 2 give protect mode and the line count.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace zentrok {

class SystemServices;

constexpr std::int32_t DefaultMaxLines = 1000;
constexpr std::int32_t SmallestMaxLines = 10;

// Item `index` of the command line (0 is the program itself); empty when absent.
std::string GetArgument(std::string_view commandLine, int index);

// "PROTECT" in argument 1 or 2, in any letter case.
bool IsProtectMode(std::string_view commandLine, SystemServices& system);

// The first of arguments 1 and 2 that reads as a number of 10 or more, else 1000.
std::int32_t LineCountFromCommandLine(std::string_view commandLine);

} // namespace zentrok
