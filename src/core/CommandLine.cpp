#include "CommandLine.h"

#include "Cp932.h"
#include "System.h"
#include "Text.h"

namespace zentrok {

namespace {
bool IsSeparator(std::string_view s, std::size_t i)
{
    return i < s.size() && s[i] != '\0' && static_cast<unsigned char>(s[i]) <= ' ';
}
bool AtEnd(std::string_view s, std::size_t i) { return i >= s.size() || s[i] == '\0'; }

// Appends the character at i (a double-byte one whole) and returns the next offset.
std::size_t TakeChar(std::string_view s, std::size_t i, std::string& out)
{
    const bool pair = IsLeadByte(static_cast<unsigned char>(s[i])) && !AtEnd(s, i + 1);
    out.append(s.substr(i, pair ? 2 : 1));
    return i + (pair ? 2 : 1);
}

// Reads the item that starts at or after i; returns the offset after it.
std::size_t NextItem(std::string_view s, std::size_t i, std::string& item)
{
    item.clear();
    for (;;) {
        while (IsSeparator(s, i)) ++i;
        if (!AtEnd(s, i + 1) && s[i] == '"' && s[i + 1] == '"') i += 2;
        else break;
    }
    while (!AtEnd(s, i) && !IsSeparator(s, i)) {
        if (s[i] == '"') {
            ++i;
            while (!AtEnd(s, i) && s[i] != '"') i = TakeChar(s, i, item);
            if (!AtEnd(s, i)) ++i;
        } else {
            i = TakeChar(s, i, item);
        }
    }
    return i;
}
} // namespace

std::string GetArgument(std::string_view commandLine, int index)
{
    std::string item;
    std::size_t i = 0;
    for (int n = 0; n <= index; ++n) i = NextItem(commandLine, i, item);
    return item;
}

bool IsProtectMode(std::string_view commandLine, SystemServices& system)
{
    for (int n = 1; n <= 2; ++n)
        if (system.UpperCase(GetArgument(commandLine, n)) == "PROTECT") return true;
    return false;
}

std::int32_t LineCountFromCommandLine(std::string_view commandLine)
{
    for (int n = 1; n <= 2; ++n) {
        const std::int32_t count = StrToIntDef(GetArgument(commandLine, n), 0);
        if (count >= SmallestMaxLines) return count;
    }
    return DefaultMaxLines;
}

} // namespace zentrok
