// The log update the program runs, in its own buffer, against the copying one:
// the same bytes for any old text, line and line limit.
#include <algorithm>
#include <cstdint>

#include "FuzzInput.h"
#include "LogText.h"

using namespace zentrok;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    // Limits from -4 to 19: none, one line, and cuts within short logs.
    const std::int32_t maxLines = data[0] % 24 - 4;
    const std::size_t lineSize = std::min<std::size_t>(data[1] % 32, size - 2);
    const std::string line = fuzz::Text(data + 2, lineSize);
    std::string old = fuzz::Text(data + 2 + lineSize, size - 2 - lineSize);
    // Repeated past a few 4096-byte blocks, so that block ends fall inside lines and line ends.
    if (data[1] & 0x40 && !old.empty())
        while (old.size() < 3 * 4096 + 7) old += old;
    const std::int32_t limit = data[1] & 0x20 ? maxLines * 1000 : maxLines;

    const std::string copied = InsertLogLine(old, line, limit);
    std::string text = old;
    if (data[1] & 0x80) text.reserve(text.size() + line.size() + 4);  // room to move within the buffer
    InsertLogLineInPlace(text, line, limit);
    fuzz::Require(text == copied);
    return 0;
}
