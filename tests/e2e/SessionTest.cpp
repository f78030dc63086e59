// Start, exit and Windows session end of the real program.
#include <gtest/gtest.h>

#include "ControlIds.h"
#include "Driver.h"

using namespace e2e;

namespace {
std::string Log(const TempFolder& folder) { return ReadBytes(folder / "Zentrok.txt"); }
} // namespace

TEST(Start, WritesTheLogonLineThenShowsTheIcon)
{
    TempFolder folder;
    const std::string before = NowText();
    Program zentrok(folder);
    const std::string after = NowText();
    ASSERT_TRUE(zentrok.MainWindow());
    EXPECT_TRUE(IconPresent(zentrok.MainWindow()));
    const auto lines = Lines(Log(folder));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(IsRecord(lines[0], "LOGON ", before, after));
    EXPECT_EQ(Log(folder).substr(Log(folder).size() - 2), "\r\n");
    EXPECT_FALSE(Exists(folder / "Zentrok.ini"));  // reading the settings never creates them
}

TEST(Start, BuildsTheHiddenStatusWindowOwnedByTheApplicationWindow)
{
    TempFolder folder;
    Program zentrok(folder);
    HWND main = zentrok.MainWindow(), app = zentrok.AppWindow();
    ASSERT_TRUE(main && app);
    EXPECT_EQ(GetWindow(main, GW_OWNER), app);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_FALSE(IsWindowVisible(app));
    char text[64] = "";
    GetWindowTextA(app, text, sizeof text);
    EXPECT_STREQ(text, "Zentrok");
    GetWindowTextA(main, text, sizeof text);
    EXPECT_STREQ(text, "Zentrok");

    const LONG style = GetWindowLongA(main, GWL_STYLE), ex = GetWindowLongA(main, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_TRUE(ex & WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 272);
    EXPECT_EQ(client.bottom, 83);

    char label[128] = "";
    GetWindowTextA(zentrok.Control(IDC_MAIN_LABELLOGGED), label, sizeof label);
    EXPECT_EQ(std::string(label).rfind("起動時刻: ", 0), 0u);
    EXPECT_EQ(std::string(label).size(), std::string("起動時刻: ").size() + 20);
    for (int id : {IDC_MAIN_BTNOK, IDC_MAIN_BTNLOG, IDC_MAIN_BTNCLOSE, IDC_MAIN_BTNSETTING})
        EXPECT_TRUE(IsWindowEnabled(zentrok.Control(id))) << id;
}

TEST(Start, ProtectModeDisablesExitAndSettings)
{
    for (const char* args : {"PROTECT", "500 protect", "\"Protect\""}) {
        TempFolder folder;
        Program zentrok(folder, args);
        EXPECT_FALSE(IsWindowEnabled(zentrok.Control(IDC_MAIN_BTNCLOSE))) << args;
        EXPECT_FALSE(IsWindowEnabled(zentrok.Control(IDC_MAIN_BTNSETTING))) << args;
        EXPECT_TRUE(IsWindowEnabled(zentrok.Control(IDC_MAIN_BTNOK))) << args;
        EXPECT_TRUE(IsWindowEnabled(zentrok.Control(IDC_MAIN_BTNLOG))) << args;
    }
}

TEST(Start, LineCountFromTheCommandLineCutsTheLog)
{
    std::string thirty;
    for (int i = 0; i < 30; ++i) thirty += "old " + std::to_string(i) + "\r\n";
    struct Case {
        const char* args;
        std::size_t lines;
    } cases[] = {{"12", 12}, {"PROTECT 15", 15}, {"5 20", 20}, {"9", 31}, {"abc $10", 16}};
    for (const Case& c : cases) {
        TempFolder folder;
        WriteBytes(folder / "Zentrok.txt", thirty);
        Program zentrok(folder, c.args);
        const auto lines = Lines(Log(folder));
        EXPECT_EQ(lines.size(), c.lines) << c.args;
        EXPECT_EQ(lines.at(1), "old 0") << c.args;
        EXPECT_EQ(lines.back(), "old " + std::to_string(c.lines - 2)) << c.args;
    }
}

TEST(Close, CloseMessageWritesOneLogoffLineAndExits)
{
    struct Case {
        const char* args;
        bool toApplicationWindow;
    } cases[] = {{"", false}, {"", true}, {"PROTECT", false}, {"PROTECT", true}};
    for (const Case& c : cases) {
        TempFolder folder;
        Program zentrok(folder, c.args);
        HWND main = zentrok.MainWindow();
        const std::string before = NowText();
        PostMessageA(c.toApplicationWindow ? zentrok.AppWindow() : main, WM_CLOSE, 0, 0);
        EXPECT_EQ(zentrok.WaitExit(), 0u);
        const std::string after = NowText();
        const auto lines = Lines(Log(folder));
        ASSERT_EQ(lines.size(), 2u) << c.args << c.toApplicationWindow;
        EXPECT_TRUE(IsRecord(lines[0], "LOGOFF", before, after));
        EXPECT_EQ(lines[1].rfind("LOGON  - ", 0), 0u);
        EXPECT_FALSE(IconPresent(main));
    }
}

TEST(Close, ExitButtonEndsTheProgram)
{
    TempFolder folder;
    Program zentrok(folder);
    PostMessageA(zentrok.Control(IDC_MAIN_BTNCLOSE), BM_CLICK, 0, 0);
    EXPECT_EQ(zentrok.WaitExit(), 0u);
    EXPECT_EQ(Lines(Log(folder)).size(), 2u);
}

TEST(SessionEnd, QueryAnswersYesWithTheLineOnDiskAndTheIconGone)
{
    TempFolder folder;
    Program zentrok(folder);
    HWND main = zentrok.MainWindow(), app = zentrok.AppWindow();
    const std::string before = NowText();
    EXPECT_EQ(zentrok.Send(main, WM_QUERYENDSESSION, 0, 0), 1);
    // Nothing may happen after the answer: the session may be ending right now.
    const auto lines = Lines(Log(folder));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(IsRecord(lines[0], "LOGOFF", before, NowText()));
    EXPECT_FALSE(IconPresent(main));
    EXPECT_NE(zentrok.Send(app, WM_QUERYENDSESSION, 0, 0).value_or(0), 0);

    // Another program stopped the session end: it runs on, without its icon.
    EXPECT_TRUE(zentrok.Send(main, WM_ENDSESSION, FALSE, 0));
    EXPECT_TRUE(zentrok.Send(app, WM_ENDSESSION, FALSE, 0));
    EXPECT_TRUE(zentrok.Sync());  // a loop told to end would have ended by now
    EXPECT_TRUE(zentrok.Running());
    EXPECT_FALSE(IconPresent(main));
    EXPECT_EQ(Lines(Log(folder)).size(), 2u);

    // The next session end writes another line and ends it.
    EXPECT_EQ(zentrok.Send(main, WM_QUERYENDSESSION, 0, 0), 1);
    EXPECT_EQ(Lines(Log(folder)).size(), 3u);
    zentrok.Send(main, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(zentrok.Running() || zentrok.WaitExit(0) == 0u);
    zentrok.Send(app, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(zentrok.WaitExit(), 0u);
    EXPECT_EQ(Lines(Log(folder)).size(), 3u);
}

TEST(WineSession, RealSessionEndWritesOneLineAndEndsTheProgram)
{
    TempFolder folder;
    Program zentrok(folder);
    HWND main = zentrok.MainWindow();
    const std::string before = NowText();
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    char commandLine[] = "wineboot.exe --end-session";
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(zentrok.WaitExit(), 0u);
    const auto lines = Lines(Log(folder));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(IsRecord(lines[0], "LOGOFF", before, NowText()));
    EXPECT_FALSE(IconPresent(main));
}
