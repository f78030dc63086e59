// Local times as whole seconds, and the day and clock texts of the report.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrok::report {

using Seconds = std::int64_t;
constexpr Seconds SecondsPerDay = 86400;

// Days since 1970-01-01 of a date of the Gregorian calendar.
std::int64_t DayNumber(int year, int month, int day);
struct Date {
    int year = 0, month = 0, day = 0;
};
Date DateOf(std::int64_t dayNumber);
inline std::int64_t DayOf(Seconds t) { return (t >= 0 ? t : t - (SecondsPerDay - 1)) / SecondsPerDay; }

// "yyyy/mm/dd hh:mm:ss" at the front of text, checked for a real date and time.
std::optional<Seconds> ParseDateTime(std::string_view text);
// The last date read and its day: the lines of a log mostly share their date with the line before.
struct DateMemo {
    char text[10] = {};
    std::int64_t day = 0;
    bool known = false;
};
std::optional<Seconds> ParseDateTime(std::string_view text, DateMemo& memo);
// "yyyy/mm/dd" (also without leading zeros), checked; the day's number.
std::optional<std::int64_t> ParseDate(std::string_view text);

std::string DateText(std::int64_t dayNumber);     // 2026/12/06
std::string WeekdayText(std::int64_t dayNumber);  // one kanji, UTF-8
bool IsWeekend(std::int64_t dayNumber);
// h:mm of a length, rounded down to the minute; also a clock time counted from a day's midnight (26:10).
std::string HoursText(Seconds length);
// value in decimal, zero-padded to width digits, written at at into at most 24 bytes (printf is
// slow for a page of a million figures); returns where it ends.
char* WriteNumber(char* at, long long value, int width);

} // namespace zentrok::report
