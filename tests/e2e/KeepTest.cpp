// Lines that can't reach the log, kept beside the settings (Keep=1) and written later.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include "ControlIds.h"
#include "Driver.h"

using namespace e2e;

namespace {
void WriteKeepSettings(const TempFolder& home, const std::string& logFolder, const std::string& more = "")
{
    WriteBytes(home / "Zentrok.ini", "[Place]\r\nDirectory=" + logFolder + "\\\r\nKeep=1\r\n" + more);
}

// Shown on its window, whether the window is up or not.
bool Shown(HWND control) { return (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

int ClientHeight(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return r.bottom;
}
} // namespace

TEST(Keep, AShareOutOfReachGetsItsLinesInOrderOnceItIsBack)
{
    TempFolder home, share;
    const std::string logs = share / "logs", away = share / "logs.away";
    CreateDirectoryA(away.c_str(), nullptr);  // renamed away, as an unreachable share looks
    WriteKeepSettings(home, logs, "[Events]\r\nLock=1\r\n");
    const std::string from = NowText();
    Program zentrok(home);
    ASSERT_TRUE(StartedUp(zentrok));
    PostMessageA(zentrok.MainWindow(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 1);
    ASSERT_TRUE(zentrok.Sync());
    EXPECT_EQ(Lines(ReadBytes(home / "Zentrok.pending")).size(), 2u);
    ASSERT_TRUE(ShowStatusWindow(zentrok));
    HWND line = zentrok.Control(IDC_MAIN_LABELUNWRITTEN);
    EXPECT_TRUE(Shown(line));
    EXPECT_EQ(Text(line), "未書き込みの記録: 2 件");
    const int grown = ClientHeight(zentrok.MainWindow());

    ASSERT_TRUE(MoveFileA(away.c_str(), logs.c_str()));
    PostMessageA(zentrok.MainWindow(), WM_TIMER, ZENTROK_RETRY_TIMER, 0);  // the minute's retry
    ASSERT_TRUE(zentrok.Sync());
    EXPECT_FALSE(Exists(home / "Zentrok.pending"));
    EXPECT_FALSE(Shown(line));
    EXPECT_EQ(grown - ClientHeight(zentrok.MainWindow()), 16);  // the row it took is gone

    PostMessageA(zentrok.MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(zentrok.WaitExit());
    const auto lines = Lines(ReadBytes(logs + "\\Zentrok.txt"));
    ASSERT_EQ(lines.size(), 3u);
    const std::string to = NowText();
    EXPECT_TRUE(IsRecord(lines[0], "LOGOFF", from, to));
    EXPECT_TRUE(IsRecord(lines[1], "LOCK  ", from, to));
    EXPECT_TRUE(IsRecord(lines[2], "LOGON ", from, to));
}

TEST(Keep, ALogHeldOpenAtTheSessionEndIsWrittenAtTheNextStart)
{
    TempFolder home;
    WriteKeepSettings(home, home.Path());
    const std::string log = home / "Zentrok.txt";
    const std::string from = NowText();
    {
        Program zentrok(home);
        ASSERT_TRUE(StartedUp(zentrok));
        // Held as a spreadsheet program holds a file it shows: read sharing only.
        HANDLE held = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        const DWORD asked = GetTickCount();
        EXPECT_EQ(zentrok.Send(zentrok.MainWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 1);
        EXPECT_LT(GetTickCount() - asked, 4500u);
        CloseHandle(held);
        EXPECT_FALSE(zentrok.WaitMessageBox(0));
        EXPECT_EQ(Lines(ReadBytes(log)).size(), 1u);
        EXPECT_EQ(Lines(ReadBytes(home / "Zentrok.pending")).size(), 1u);
    }
    Program next(home);
    ASSERT_TRUE(StartedUp(next));
    const auto lines = Lines(ReadBytes(log));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(IsRecord(lines[0], "LOGON ", from, NowText()));
    EXPECT_TRUE(IsRecord(lines[1], "LOGOFF", from, NowText()));
    EXPECT_FALSE(Shown(next.Control(IDC_MAIN_LABELMISSING)));  // the kept logoff counts
    EXPECT_FALSE(Exists(home / "Zentrok.pending"));
}

TEST(Keep, AKeptLineGoesToTheLogItWasMeantForAndTwoCopiesWriteItOnce)
{
    TempFolder home, share;
    const std::string logs = share / "logs", away = share / "logs.away";
    CreateDirectoryA(away.c_str(), nullptr);
    // Date-named logs; yesterday's line was kept by an earlier run.
    WriteKeepSettings(home, logs, "[Name]\r\nNameKind=2\r\nNameDate=1\r\n");
    const std::string yesterday = logs + "\\20200101.txt";
    WriteBytes(home / "Zentrok.pending", "2020/01/01 23:59:59.000\t" + yesterday + "\tLOGOFF - kept\r\n");
    Program first(home), second(home);
    ASSERT_TRUE(StartedUp(first));
    ASSERT_TRUE(StartedUp(second));
    EXPECT_EQ(Lines(ReadBytes(home / "Zentrok.pending")).size(), 3u);

    ASSERT_TRUE(MoveFileA(away.c_str(), logs.c_str()));
    // Both retry at once: each line goes in once, whichever copy writes it.
    for (const Program* p : {&first, &second}) PostMessageA(p->MainWindow(), WM_TIMER, ZENTROK_RETRY_TIMER, 0);
    ASSERT_TRUE(first.Sync());
    ASSERT_TRUE(second.Sync());
    EXPECT_EQ(ReadBytes(yesterday), "LOGOFF - kept\r\n");
    const std::vector<std::string> names = FileNames(logs);
    ASSERT_EQ(names.size(), 2u);
    const std::string today = logs + "\\" + (names[0] == "20200101.txt" ? names[1] : names[0]);
    const auto lines = Lines(ReadBytes(today));
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines) EXPECT_EQ(line.substr(0, 6), "LOGON ");
    EXPECT_FALSE(Exists(home / "Zentrok.pending"));
}
