// Lock, remote-session and sleep lines, the end reason and the missing-logoff line
// of the real program, with the notices sent as Windows sends them.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include "ControlIds.h"
#include "DialogDriver.h"
#include "SettingIds.h"

using namespace e2e;

namespace {
std::string Log(const TempFolder& folder) { return ReadBytes(folder / "Zentrok.txt"); }

std::vector<std::string> Words(const TempFolder& folder)
{
    std::vector<std::string> words;
    for (const std::string& line : Lines(Log(folder))) words.push_back(line.substr(0, 6));
    return words;
}

// Zentrok started on the given settings.
struct Started {
    explicit Started(const std::string& ini)
    {
        if (!ini.empty()) WriteBytes(folder / "Zentrok.ini", ini);
        zentrok.emplace(folder);
    }
    TempFolder folder;
    std::optional<Program> zentrok;
};

// A session change goes to the window that registered for it.
void SessionChange(const Program& zentrok, WPARAM code)
{
    EXPECT_EQ(zentrok.Send(zentrok.MainWindow(), WM_WTSSESSION_CHANGE, code, 1), 0) << code;
}

// A power broadcast reaches every top-level window of the program, one after the other.
void PowerBroadcast(const Program& zentrok, WPARAM event)
{
    EXPECT_TRUE(zentrok.Send(zentrok.AppWindow(), WM_POWERBROADCAST, event, 0)) << event;
    EXPECT_EQ(zentrok.Send(zentrok.MainWindow(), WM_POWERBROADCAST, event, 0), TRUE) << event;
}

// A working day's notices: lock and unlock, sleep and a wake with both resume notices, a remote visit.
void WorkingDay(const Program& zentrok)
{
    SessionChange(zentrok, WTS_SESSION_LOCK);
    SessionChange(zentrok, WTS_SESSION_UNLOCK);
    PowerBroadcast(zentrok, PBT_APMSUSPEND);
    PowerBroadcast(zentrok, PBT_APMRESUMEAUTOMATIC);
    PowerBroadcast(zentrok, PBT_APMRESUMESUSPEND);
    SessionChange(zentrok, WTS_REMOTE_CONNECT);
    SessionChange(zentrok, WTS_REMOTE_DISCONNECT);
    SessionChange(zentrok, WTS_SESSION_LOGON);  // never recorded
    PowerBroadcast(zentrok, PBT_APMPOWERSTATUSCHANGE);
}

using WordList = std::vector<std::string>;

bool HasModule(const Program& zentrok, const char* name)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, zentrok.Pid());
    HMODULE modules[512];
    DWORD bytes = 0;
    bool found = false;
    if (EnumProcessModules(process, modules, sizeof modules, &bytes))
        for (DWORD i = 0; i < bytes / sizeof(HMODULE) && !found; ++i) {
            char path[MAX_PATH] = "";
            GetModuleFileNameExA(process, modules[i], path, sizeof path);
            const std::string file = path;
            found = _stricmp(file.substr(file.find_last_of('\\') + 1).c_str(), name) == 0;
        }
    CloseHandle(process);
    return found;
}

} // namespace

TEST(Events, EachSwitchWritesItsLinesAndNothingWithoutTheKeys)
{
    struct Case {
        const char* ini;
        WordList words;  // newest first
    } cases[] = {
        {"", {"LOGON "}},
        {"[Events]\r\nLock=0\r\nSleep=0\r\nRemote=0\r\nEndReason=1\r\n", {"LOGON "}},
        {"[Events]\r\nLock=1\r\n", {"UNLOCK", "LOCK  ", "LOGON "}},
        {"[Events]\r\nSleep=1\r\n", {"RESUME", "SLEEP ", "LOGON "}},
        {"[Events]\r\nRemote=1\r\n", {"RDISC ", "RCONN ", "LOGON "}},
        {"[Events]\r\nLock=1\r\nSleep=1\r\nRemote=1\r\n",
         {"RDISC ", "RCONN ", "RESUME", "SLEEP ", "UNLOCK", "LOCK  ", "LOGON "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        Started s(c.ini);
        const std::string before = NowText();
        WorkingDay(*s.zentrok);
        EXPECT_EQ(Words(s.folder), c.words);
        const auto lines = Lines(Log(s.folder));
        if (lines.size() > 1) EXPECT_TRUE(IsRecord(lines[0], c.words[0], before, NowText()));  // a logon line's fields
        EXPECT_EQ(Exists(s.folder / "Zentrok.ini"), c.ini[0] != '\0');
    }
}

TEST(Events, TheSleepLineIsOnDiskWhenTheNoticeIsAnsweredAndAFailureWaitsForIt)
{
    Started s("[Events]\r\nSleep=1\r\n");
    HWND main = s.zentrok->MainWindow();
    EXPECT_EQ(s.zentrok->Send(main, WM_POWERBROADCAST, PBT_APMSUSPEND, 0), TRUE);
    EXPECT_EQ(Words(s.folder), (WordList{"SLEEP ", "LOGON "}));

    // Asleep, the log became unwritable: the notice is answered at once, the box follows.
    SetFileAttributesA((s.folder / "Zentrok.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(s.zentrok->Send(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, 2000), TRUE);
    const auto box = s.zentrok->WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->errorIcon);
    EXPECT_NE(box->text.find("を作成できません"), std::string::npos) << box->text;
    PressOk(*box);
    EXPECT_EQ(Words(s.folder), (WordList{"SLEEP ", "LOGON "}));
    SetFileAttributesA((s.folder / "Zentrok.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(WaitUntil([&] { return !FindWindowOf(s.zentrok->Pid(), "#32770", true); }));
    EXPECT_TRUE(s.zentrok->Running());
}

TEST(Events, TheSessionEndsLogoffCarriesItsReasonWhenAsked)
{
    Started s("[Events]\r\nEndReason=1\r\n[Log]\r\nSeparator=<TAB>\r\n");
    HWND main = s.zentrok->MainWindow();
    EXPECT_EQ(s.zentrok->Send(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 1);
    EXPECT_TRUE(s.zentrok->Send(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF));  // someone said no
    EXPECT_EQ(s.zentrok->Send(main, WM_QUERYENDSESSION, 0, 0), 1);  // a shutdown or restart
    EXPECT_TRUE(s.zentrok->Send(main, WM_ENDSESSION, FALSE, 0));
    PostMessageA(main, WM_CLOSE, 0, 0);  // the close message has no reason to tell
    EXPECT_EQ(s.zentrok->WaitExit(), 0u);
    const auto lines = Lines(Log(s.folder));
    ASSERT_EQ(lines.size(), 4u);
    const std::string fields = "\t" + UserName() + "\t";
    EXPECT_EQ(lines[0].find("\t", lines[0].rfind(ComputerName())), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].substr(lines[1].size() - 1 - 14), "\tシャットダウン");
    EXPECT_EQ(lines[2].substr(lines[2].size() - 1 - 8), "\tログオフ");
    EXPECT_EQ(lines[2].rfind("LOGOFF" + fields, 0), 0u);
}

TEST(Events, AKilledRunIsShownInTheNextOnesStatusWindowAndACleanExitIsNot)
{
    const auto statusWindow = [](const Program& zentrok, std::string& missing) {
        HWND main = zentrok.MainWindow();
        EXPECT_TRUE(ShowStatusWindow(zentrok));
        HWND label = zentrok.Control(IDC_MAIN_LABELMISSING);
        missing = IsWindowVisible(label) ? Text(label) : "";
        RECT client;
        GetClientRect(main, &client);
        RECT at;
        GetWindowRect(label, &at);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&at), 2);
        if (!missing.empty()) EXPECT_LE(at.bottom, client.bottom);
        return client.bottom;
    };
    TempFolder folder;
    std::string missing;
    {
        Program first(folder);  // ends killed: no logoff line
        EXPECT_EQ(statusWindow(first, missing), 83);
        EXPECT_EQ(missing, "");
    }
    {
        Program second(folder);
        EXPECT_EQ(statusWindow(second, missing), 99);
        EXPECT_EQ(missing, "前回のログオフ記録がありません");
        EXPECT_EQ(Words(folder), (WordList{"LOGON ", "LOGON "}));  // nothing written for it
        PostMessageA(second.MainWindow(), WM_CLOSE, 0, 0);
        EXPECT_EQ(second.WaitExit(), 0u);
    }
    // Another user's logon on top doesn't count; the last run of ours ended cleanly.
    WriteBytes(folder / "Zentrok.txt", "LOGON  - someone - 2026/12/06 09:05:03. - " + ComputerName() + "\r\n" +
                                           Log(folder));
    Program third(folder);
    EXPECT_EQ(statusWindow(third, missing), 83);
    EXPECT_EQ(missing, "");
}

TEST(Events, TheDialogStoresTheSwitchesBesideTheOtherKeys)
{
    Started s("[Events]\r\nSleep=1\r\nNote=kept\r\n[Log]\r\nSeparator=,\r\n");
    EXPECT_FALSE(HasModule(*s.zentrok, "wtsapi32.dll"));
    SettingsDialog dialog(*s.zentrok);
    ASSERT_TRUE(dialog.Open());
    dialog.TurnTo(2);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog.Control(IDC_SET_CBLOCK)); }));
    EXPECT_FALSE(dialog.Checked(IDC_SET_CBLOCK));
    EXPECT_TRUE(dialog.Checked(IDC_SET_CBSLEEP));
    EXPECT_FALSE(dialog.Checked(IDC_SET_CBREMOTE));
    EXPECT_FALSE(dialog.Checked(IDC_SET_CBENDREASON));
    dialog.Click(IDC_SET_CBLOCK);
    dialog.Click(IDC_SET_CBSLEEP);
    dialog.Click(IDC_SET_CBENDREASON);
    dialog.Click(IDC_SET_BTNOK);
    ASSERT_TRUE(dialog.WaitClosed());
    EXPECT_EQ(IniValue(s.folder, "Events", "Lock"), "1");
    EXPECT_EQ(IniValue(s.folder, "Events", "Sleep"), "0");
    EXPECT_EQ(IniValue(s.folder, "Events", "Remote"), "0");
    EXPECT_EQ(IniValue(s.folder, "Events", "EndReason"), "1");
    EXPECT_EQ(IniValue(s.folder, "Events", "Note"), "kept");
    EXPECT_EQ(IniValue(s.folder, "Log", "Separator"), ",");
    EXPECT_EQ(IniValue(s.folder, "Name", "NameKind"), "1");

    // Switched on in the dialog, the lines come at once, also where the run started without them.
    EXPECT_TRUE(HasModule(*s.zentrok, "wtsapi32.dll"));
    SessionChange(*s.zentrok, WTS_SESSION_LOCK);
    PowerBroadcast(*s.zentrok, PBT_APMSUSPEND);
    EXPECT_EQ(Words(s.folder), (WordList{"LOCK  ", "LOGON "}));
}


namespace {
// Wine's own switch that keeps a library from loading into Zentrok.exe, while it lives.
class WithoutLibrary {
public:
    explicit WithoutLibrary(const char* name) : name_(name)
    {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
        RegCloseKey(key);
    }
    ~WithoutLibrary() { RegDeleteKeyValueA(HKEY_CURRENT_USER, Key, name_); }
    WithoutLibrary(const WithoutLibrary&) = delete;
    WithoutLibrary& operator=(const WithoutLibrary&) = delete;

private:
    static constexpr const char* Key = "Software\\Wine\\AppDefaults\\Zentrok.exe\\DllOverrides";
    const char* name_;
};
} // namespace

TEST(Events, TheSessionServiceIsLoadedOnlyWhenWantedAndNeverNeeded)
{
    {
        Started plain("[Events]\r\nSleep=1\r\nEndReason=1\r\n");
        EXPECT_FALSE(HasModule(*plain.zentrok, "wtsapi32.dll"));
    }
    {
        Started watching("[Events]\r\nLock=1\r\n");
        EXPECT_TRUE(HasModule(*watching.zentrok, "wtsapi32.dll"));
    }
    // Where the library can't be loaded the program runs as ever, without those lines' source.
    std::optional<Started> started;
    {
        const WithoutLibrary missing("wtsapi32");
        started.emplace("[Events]\r\nLock=1\r\nRemote=1\r\n");
    }
    Started& without = *started;
    EXPECT_FALSE(HasModule(*without.zentrok, "wtsapi32.dll"));
    EXPECT_TRUE(without.zentrok->Running());
    EXPECT_EQ(Words(without.folder), (WordList{"LOGON "}));
    EXPECT_FALSE(FindWindowOf(without.zentrok->Pid(), "#32770", true));
    PostMessageA(without.zentrok->MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(without.zentrok->WaitExit(), 0u);
    EXPECT_EQ(Words(without.folder), (WordList{"LOGOFF", "LOGON "}));
}

// Not a check: the status window with the missing-logoff line, then the switches'
// page, each kept on screen for a while with its place printed, for a screenshot.
TEST(Events, DISABLED_ForALook)
{
    const auto show = [](const char* name, HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        printf("%s %ldx%ld+%ld+%ld\n", name, r.right - r.left, r.bottom - r.top, r.left, r.top);
        fflush(stdout);
        Sleep(4000);
    };
    Started s("[Events]\r\nLock=1\r\nSleep=1\r\n");
    s.zentrok.reset();  // killed: no logoff line
    s.zentrok.emplace(s.folder);
    HWND main = s.zentrok->MainWindow();
    PostMessageA(main, RegisterWindowMessageA("IconNotify"), 0, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main); }));
    show("status", main);
    SettingsDialog dialog(*s.zentrok);
    dialog.TurnTo(2);
    show("dialog", dialog.Handle());
}
