// Dates and times as text, independent of the regional settings.
#pragma once
#include <string>
#include <string_view>

#include "System.h"

namespace zentrok {

// Left-to-right pattern: 'quoted' text literally; yyyy, yy, mm (the minute right
// after an hour), dd, hh, ss zero-padded; any other character as it is.
std::string FormatDatePattern(std::string_view pattern, const ClockReading& at);

// "yyyy/mm/dd hh:mm:ss." (20 bytes).
std::string MakeDateTimeText(const ClockReading& at);

// Day-count values: the date as whole days, the time of day as a fraction of one.
double DateValue(const ClockReading& at);
double TimeValue(const ClockReading& at);

} // namespace zentrok
