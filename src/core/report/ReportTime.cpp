#include "ReportTime.h"

#include <algorithm>
#include <cstring>


namespace zentrok::report {

std::int64_t DayNumber(int year, int month, int day)
{
    // Counted from March, so that the leap day ends a year.
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date DateOf(std::int64_t dayNumber)
{
    const std::int64_t z = dayNumber + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0)), month, day};
}

namespace {
// The two digits at text[at] as a number, or -1.
int TwoDigits(std::string_view text, std::size_t at)
{
    const unsigned tens = static_cast<unsigned char>(text[at]) - '0', ones = static_cast<unsigned char>(text[at + 1]) - '0';
    return tens < 10 && ones < 10 ? static_cast<int>(tens * 10 + ones) : -1;
}

bool ValidDate(int y, int m, int d)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1601 || m < 1 || m > 12 || d < 1) return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

} // namespace

char* WriteNumber(char* at, long long value, int width)
{
    if (value < 0) *at++ = '-';
    unsigned long long v = value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    int digits = 1;
    for (unsigned long long rest = v; rest >= 10; rest /= 10) ++digits;
    const int n = std::max(digits, std::min(width, 20));
    for (int i = n - 1; i >= 0; --i) {
        at[i] = static_cast<char>('0' + v % 10);
        v /= 10;
    }
    return at + n;
}

std::optional<Seconds> ParseDateTime(std::string_view text)
{
    DateMemo memo;
    return ParseDateTime(text, memo);
}

std::optional<Seconds> ParseDateTime(std::string_view t, DateMemo& memo)
{
    // Written out place by place: this runs for every line of the logs.
    if (t.size() < 19 || t[10] != ' ' || t[13] != ':' || t[16] != ':') return std::nullopt;
    const int h = TwoDigits(t, 11), mi = TwoDigits(t, 14), s = TwoDigits(t, 17);
    if (h < 0 || mi < 0 || s < 0 || h > 23 || mi > 59 || s > 59) return std::nullopt;
    if (!memo.known || std::memcmp(t.data(), memo.text, sizeof memo.text) != 0) {
        if (t[4] != '/' || t[7] != '/') return std::nullopt;
        const int hi = TwoDigits(t, 0), lo = TwoDigits(t, 2), mo = TwoDigits(t, 5), d = TwoDigits(t, 8);
        if (hi < 0 || lo < 0 || mo < 0 || d < 0 || !ValidDate(hi * 100 + lo, mo, d)) return std::nullopt;
        std::memcpy(memo.text, t.data(), sizeof memo.text);
        memo.day = DayNumber(hi * 100 + lo, mo, d);
        memo.known = true;
    }
    return memo.day * SecondsPerDay + h * 3600 + mi * 60 + s;
}

std::optional<std::int64_t> ParseDate(std::string_view text)
{
    int part[3] = {0, 0, 0};
    int n = 0, digits = 0;
    for (char c : text) {
        if (c == '/' && digits > 0 && n < 2) {
            ++n;
            digits = 0;
        } else if (c >= '0' && c <= '9' && digits < 4) {
            part[n] = part[n] * 10 + (c - '0');
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (n != 2 || digits == 0 || !ValidDate(part[0], part[1], part[2])) return std::nullopt;
    return DayNumber(part[0], part[1], part[2]);
}

// The texts below are written into a buffer and made a string at once: a page has millions.
std::string DateText(std::int64_t dayNumber)
{
    const Date d = DateOf(dayNumber);
    char buf[80];
    char* p = WriteNumber(buf, d.year, 4);
    *p++ = '/';
    p = WriteNumber(p, d.month, 2);
    *p++ = '/';
    return std::string(buf, WriteNumber(p, d.day, 2));
}

std::string WeekdayText(std::int64_t dayNumber)
{
    static const char* const names[] = {u8"木", u8"金", u8"土", u8"日", u8"月", u8"火", u8"水"};  // 1970-01-01 was a Thursday
    return names[((dayNumber % 7) + 7) % 7];
}

bool IsWeekend(std::int64_t dayNumber)
{
    const std::int64_t w = ((dayNumber % 7) + 7) % 7;
    return w == 2 || w == 3;
}

std::string HoursText(Seconds length)
{
    if (length < 0) length = 0;
    char buf[56];
    char* p = WriteNumber(buf, length / 3600, 1);
    *p++ = ':';
    return std::string(buf, WriteNumber(p, length / 60 % 60, 2));
}

} // namespace zentrok::report
