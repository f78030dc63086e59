// What the status window shows and where it goes: pure rules, no windows.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace zentrok {

struct Area {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct Position {
    int left = 0, top = 0;
};

// Taskbar edges as the shell reports them.
enum TaskbarEdge { EdgeLeft = 0, EdgeTop = 1, EdgeRight = 2, EdgeBottom = 3 };

// The corner of the work area beside the taskbar for a window of width × height;
// nothing (stay where it is) for an edge the shell doesn't define.
std::optional<Position> PlaceStatusWindow(int edge, const Area& workArea, int width, int height);

// The user's long time format, read from the locale once at start-up.
struct TimeFormat {
    bool leadingZero = false;  // hours as two digits
    bool twelveHour = false;
    bool markerFirst = false;  // the day-half marker before the time
    std::string am = "午前", pm = "午後";
    std::string separator = ":";
};

// A time of day (hour 0 to 23) in that format.
std::string FormatLongTime(int hour, int minute, int second, const TimeFormat& format);

// "起動時間合計: " and the time run from start to now (day-count values); whole
// days, when there are any, come first as "N日 ".
std::string RunningTimeText(double start, double now, const TimeFormat& format);

// "ログファイルサイズ: N Bytes." or, without a size, "ログファイルが見つかりません。".
std::string LogSizeText(std::optional<std::uint64_t> size);

// The status window's line while lines wait: "<what>: N 件", how many of the oldest were
// let go, and how many can't be read (never written, so counted apart).
inline constexpr const char* UnwrittenWhat = "未書き込みの記録";  // for the log
inline constexpr const char* UnsentWhat = "未送信の記録";        // for the collector
std::string KeptCountText(const char* what, std::size_t count, std::uint64_t dropped, std::size_t unreadable = 0);

// The tray icon's tip, with the count of lines that wait to be written when there are any.
std::string TrayTipText(std::size_t unwritten);

// A name with "*" or "?" would match some other file; it has no size to show.
bool HasWildcard(const std::string& path);

// Whether the shell would run a file of this name rather than show it (.exe, .bat,
// .vbs, .lnk ...), judged as Windows does, trailing dots and blanks ignored.
bool IsExecutableName(const std::string& path);

} // namespace zentrok
