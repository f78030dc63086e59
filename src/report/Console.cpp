#include "Console.h"

#include <windows.h>

#include <algorithm>

#include "WinCodec.h"

namespace zentrok::report {

namespace {
bool IsConsole(HANDLE h)
{
    DWORD mode;
    return h && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode);
}

// Whether all went: a full disk, or a closed pipe whose reader is gone, takes less.
bool WriteAll(HANDLE h, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD done = 0;
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!WriteFile(h, bytes.data(), ask, &done, nullptr) || done == 0) return false;
        bytes.remove_prefix(done);
    }
    return true;
}
} // namespace

Console::Console()
    : out_(GetStdHandle(STD_OUTPUT_HANDLE)), err_(GetStdHandle(STD_ERROR_HANDLE)), outIsConsole_(IsConsole(out_)),
      errIsConsole_(IsConsole(err_))
{
}

void Console::Write(void* handle, bool console, std::string_view utf8)
{
    if (!handle || handle == INVALID_HANDLE_VALUE) return;
    std::wstring wide = Widen(utf8, CP_UTF8);
    if (console) {
        DWORD done = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr);
        return;
    }
    // Redirected: the ANSI code page, with CR LF, as other Windows tools write.
    std::wstring lines;
    for (wchar_t c : wide) {
        if (c == L'\n') lines += L'\r';
        lines += c;
    }
    WriteAll(handle, Narrow(lines, CP_ACP));  // a message nowhere to go is lost: there is no one to tell
}

bool Console::OutBytes(std::string_view bytes) { return out_ && out_ != INVALID_HANDLE_VALUE && WriteAll(out_, bytes); }

void Console::Progress(std::size_t files, std::size_t lines)
{
    if (!errIsConsole_) return;
    const DWORD now = GetTickCount();
    if (progressShown_ && now - lastTick_ < 250) return;
    lastTick_ = now;
    progressShown_ = true;
    Write(err_, true, u8"\r読み込み中: " + std::to_string(files) + u8" ファイル、" + std::to_string(lines) + u8" 行 ");
}

void Console::EndProgress()
{
    if (progressShown_) Write(err_, true, "\r                                                  \r");
    progressShown_ = false;
}

bool Console::OwnWindow() const
{
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

} // namespace zentrok::report
