#include "DateTime.h"

#include <cstdio>

namespace zentrok {

namespace {
std::string TwoDigits(int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v % 100);
    return buf;
}

bool StartsWith(std::string_view s, std::size_t i, std::string_view what) { return s.substr(i, what.size()) == what; }
} // namespace

std::string FormatDatePattern(std::string_view pattern, const ClockReading& at)
{
    std::string out;
    bool afterHour = false;  // "mm" right after "hh" is the minute
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] == '\'') {
            const std::size_t close = pattern.find('\'', i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            out.append(pattern.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (StartsWith(pattern, i, "yyyy")) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%04d", at.year);
            out += buf;
            afterHour = false;
            i += 4;
        } else if (StartsWith(pattern, i, "yy")) {
            out += TwoDigits(at.year);
            afterHour = false;
            i += 2;
        } else if (StartsWith(pattern, i, "mm")) {
            out += TwoDigits(afterHour ? at.minute : at.month);
            afterHour = false;
            i += 2;
        } else if (StartsWith(pattern, i, "dd")) {
            out += TwoDigits(at.day);
            afterHour = false;
            i += 2;
        } else if (StartsWith(pattern, i, "hh")) {
            out += TwoDigits(at.hour);
            afterHour = true;
            i += 2;
        } else if (StartsWith(pattern, i, "ss")) {
            out += TwoDigits(at.second);
            afterHour = false;
            i += 2;
        } else {
            out += pattern[i++];
        }
    }
    return out;
}

std::string MakeDateTimeText(const ClockReading& at)
{
    return FormatDatePattern("yyyy'/'mm'/'dd", at) + " " + FormatDatePattern("hh':'mm':'ss'.'", at);
}

double DateValue(const ClockReading& at)
{
    // Days since 1899-12-30, by the proleptic Gregorian calendar.
    const int a = (14 - at.month) / 12;
    const long y = at.year + 4800L - a;
    const long m = at.month + 12L * a - 3;
    const long julian = at.day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
    return static_cast<double>(julian - 2415019L);
}

double TimeValue(const ClockReading& at)
{
    const long ms = ((at.hour * 60L + at.minute) * 60L + at.second) * 1000L + at.milliseconds;
    return ms / 86400000.0;
}

} // namespace zentrok
