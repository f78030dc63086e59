#include "StatusText.h"

#include <cmath>
#include <cstdio>

#include "Cp932.h"

namespace zentrok {

std::optional<Position> PlaceStatusWindow(int edge, const Area& a, int width, int height)
{
    switch (edge) {
    case EdgeBottom:
    case EdgeRight: return Position{a.right - width, a.bottom - height};
    case EdgeTop: return Position{a.right - width, a.top};
    case EdgeLeft: return Position{a.left, a.bottom - height};
    default: return std::nullopt;
    }
}

std::string FormatLongTime(int hour, int minute, int second, const TimeFormat& f)
{
    int shownHour = hour;
    if (f.twelveHour) shownHour = hour % 12 == 0 ? 12 : hour % 12;
    char buf[64];
    std::snprintf(buf, sizeof buf, f.leadingZero ? "%02d" : "%d", shownHour);
    std::string text = buf;
    std::snprintf(buf, sizeof buf, "%02d", minute);
    text += f.separator + buf;
    std::snprintf(buf, sizeof buf, "%02d", second);
    text += f.separator + buf;
    if (!f.twelveHour) return text;
    const std::string& marker = hour < 12 ? f.am : f.pm;
    if (marker.empty()) return text;
    return f.markerFirst ? marker + " " + text : text + " " + marker;
}

std::string RunningTimeText(double start, double now, const TimeFormat& format)
{
    constexpr std::int64_t msPerDay = 86400000;
    std::int64_t ms = std::llround((now - start) * msPerDay);
    if (ms < 0) ms = 0;  // the clock was set back
    const std::int64_t days = ms / msPerDay;
    const std::int64_t seconds = ms % msPerDay / 1000;
    std::string text = "起動時間合計: ";
    if (days > 0) text += std::to_string(days) + "日 ";
    return text + FormatLongTime(static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                                 static_cast<int>(seconds % 60), format);
}

std::string LogSizeText(std::optional<std::uint64_t> size)
{
    if (!size) return "ログファイルが見つかりません。";
    return "ログファイルサイズ: " + std::to_string(*size) + " Bytes.";
}

bool IsExecutableName(const std::string& path)
{
    static const char* const types[] = {
        "exe", "com", "bat", "cmd", "pif", "scr", "vbs", "vbe", "js", "jse", "wsf", "wsh", "ws", "msi",
        "msp", "msc", "cpl", "hta", "lnk", "url", "ps1", "psm1", "reg", "jar", "inf", "scf", "sct",
        "shb", "shs", "application", "gadget", "appref-ms", "settingcontent-ms", "library-ms", "diagcab"};
    std::string name = path;
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();  // Windows drops them
    const std::size_t dot = LastDelimiter(".\\/:", name);
    if (dot == npos || name[dot] != '.') return false;
    std::string type = name.substr(dot + 1);
    for (char& c : type)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (const char* t : types)
        if (type == t) return true;
    return false;
}

bool HasWildcard(const std::string& path) { return FindChar(path, '*') != npos || FindChar(path, '?') != npos; }

std::string KeptCountText(const char* what, std::size_t count, std::uint64_t dropped, std::size_t unreadable)
{
    std::string text = std::string(what) + ": " + std::to_string(count) + " 件";
    if (dropped > 0) text += "（古い " + std::to_string(dropped) + " 件は破棄）";
    if (unreadable > 0) text += "（読めない記録 " + std::to_string(unreadable) + " 件）";
    return text;
}

std::string TrayTipText(std::size_t unwritten)
{
    std::string tip = "Logon/Logoff記録";
    if (unwritten > 0) tip += " (未書き込み " + std::to_string(unwritten) + " 件)";
    return tip;
}

} // namespace zentrok
