#include "WinSystem.h"

#include <windows.h>

#include "Handles.h"

namespace zentrok {

ClockReading WinSystemServices::LocalTime()
{
    // One reading gives date and time together, so a record made at midnight
    // can't pair yesterday's time with today's date.
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

namespace {
template <typename Query>
std::optional<std::string> AskName(Query query)
{
    char buf[256];
    DWORD size = sizeof buf;
    if (!query(buf, &size)) return std::nullopt;
    return std::string(buf);
}
} // namespace

std::optional<std::string> WinSystemServices::UserName() { return AskName(GetUserNameA); }

std::optional<std::string> WinSystemServices::ComputerName() { return AskName(GetComputerNameA); }

std::string WinSystemServices::UpperCase(std::string text)
{
    if (!text.empty()) CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

namespace {
std::string LocaleText(LCTYPE type, const char* fallback)
{
    char buf[80];
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf) > 0 ? buf : fallback;
}
} // namespace

TimeFormat ReadTimeFormat()
{
    TimeFormat f;
    f.leadingZero = LocaleText(LOCALE_ITLZERO, "0") != "0";
    f.twelveHour = LocaleText(LOCALE_ITIME, "1") == "0";
    f.markerFirst = LocaleText(LOCALE_ITIMEMARKPOSN, "0") != "0";
    f.am = LocaleText(LOCALE_S1159, "AM");
    f.pm = LocaleText(LOCALE_S2359, "PM");
    f.separator = LocaleText(LOCALE_STIME, ":");
    return f;
}

std::optional<std::uint64_t> FileSize(const std::string& path)
{
    if (HasWildcard(path)) return std::nullopt;
    WIN32_FIND_DATAA data;
    const FindHandle find(FindFirstFileA(path.c_str(), &data));
    if (!find) return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string ExeFileName()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) return path.substr(0, n);
        path.resize(path.size() * 2);
    }
}

} // namespace zentrok
