// The log's text: newest line first, CR LF after every line, at most maxLines lines.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrok {

// oldText with line put in front and cut to maxLines lines. A line of oldText
// ends at CR LF, a lone LF or a lone CR; its bytes are carried over as they are
// and its end becomes CR LF. One pass over oldText, one output buffer.
std::string InsertLogLine(std::string_view oldText, std::string_view line, std::int32_t maxLines);

// The same on text itself. A log whose lines all end in CR LF moves within its own
// buffer (given room for the line) instead of being copied, so a long log needs no second one.
void InsertLogLineInPlace(std::string& text, std::string_view line, std::int32_t maxLines);

// Several lines at once, newestFirst in the order given, as one insertion of each
// after the other would leave them; never fewer than one new line.
void InsertLogLinesInPlace(std::string& text, const std::vector<std::string>& newestFirst, std::int32_t maxLines);

} // namespace zentrok
