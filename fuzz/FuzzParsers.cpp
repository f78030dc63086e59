// The core's parsers on arbitrary bytes: numbers, the command line, CP932 scans,
// date patterns and the names the status window looks at.
#include <cstdint>

#include "CommandLine.h"
#include "Cp932.h"
#include "DateTime.h"
#include "FuzzInput.h"
#include "StatusText.h"
#include "Text.h"
#include "../tests/unit/Fakes.h"

using namespace zentrok;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = fuzz::Text(data, size);

    const std::int32_t a = StrToIntDef(text, 1), b = StrToIntDef(text, 2);
    fuzz::Require(a == b || (a == 1 && b == 2));  // a number, or the fallback

    const std::string trimmed = Trim(text);
    fuzz::Require(trimmed.empty() || (static_cast<unsigned char>(trimmed.front()) > 0x20 &&
                                      static_cast<unsigned char>(trimmed.back()) > 0x20));

    for (int n = 0; n < 4; ++n) fuzz::Require(GetArgument(text, n).size() <= text.size());
    const std::int32_t lines = LineCountFromCommandLine(text);
    fuzz::Require(lines >= SmallestMaxLines);
    test::FakeSystem system;
    IsProtectMode(text, system);

    const std::size_t last = LastCharStart(text);
    fuzz::Require(text.empty() ? last == npos : last < text.size());
    const std::size_t slash = LastDelimiter("\\:", text);
    fuzz::Require(slash == npos || text[slash] == '\\' || text[slash] == ':');
    fuzz::Require(FindChar(text, '*') == npos || HasWildcard(text));
    IsExecutableName(text);

    const std::string formatted = FormatDatePattern(text, ClockReading{2026, 12, 31, 23, 59, 58, 999});
    fuzz::Require(formatted.size() <= 2 * text.size() + 4);
    return 0;
}
