#include "DateTime.h"

#include <cstdio>

namespace zentrok {

namespace {
struct Element {
    std::size_t length = 0;  // 0: no element here
    int value = 0;
    int digits = 2;
};

// The pattern element that starts at i.
Element ElementAt(std::string_view pattern, std::size_t i, const ClockReading& at, bool afterHour)
{
    auto is = [&](std::string_view what) { return pattern.substr(i, what.size()) == what; };
    if (is("yyyy")) return {4, at.year, 4};
    if (is("yy")) return {2, at.year % 100};
    if (is("mm")) return {2, afterHour ? at.minute : at.month};
    if (is("dd")) return {2, at.day};
    if (is("hh")) return {2, at.hour};
    if (is("ss")) return {2, at.second};
    return {};
}
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
        } else if (const Element e = ElementAt(pattern, i, at, afterHour); e.length > 0) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%0*d", e.digits, e.value);
            out += buf;
            afterHour = pattern[i] == 'h';
            i += e.length;
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
