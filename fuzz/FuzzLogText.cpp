// The log update on arbitrary old logs: the new line on top, CR LF after every
// line, no more than the line limit, every old line's bytes carried over.
#include <cstdint>

#include "FuzzInput.h"
#include "LogText.h"

using namespace zentrok;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    const std::int32_t maxLines = 1 + data[0] % 16;
    const std::string old = fuzz::Text(data + 1, size - 1);
    const std::string out = InsertLogLine(old, "NEW", maxLines);

    fuzz::Require(out.compare(0, 5, "NEW\r\n") == 0);
    fuzz::Require(out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0);
    std::int32_t lines = 0;
    for (std::size_t i = 0; i + 1 < out.size(); ++i)
        if (out[i] == '\r' && out[i + 1] == '\n') ++lines;
    fuzz::Require(lines <= maxLines);
    // Bytes other than line ends are carried over in order.
    std::string kept, source;
    for (char c : out.substr(5))
        if (c != '\r' && c != '\n') kept += c;
    for (char c : old)
        if (c != '\r' && c != '\n') source += c;
    fuzz::Require(source.compare(0, kept.size(), kept) == 0);
    if (lines < maxLines) fuzz::Require(kept == source);
    return 0;
}
