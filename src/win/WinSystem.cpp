#include "WinSystem.h"

#include <windows.h>

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
