// Each record also sent to a real rsyslog on loopback, and kept while it can't be.
#include <windows.h>
#include <tlhelp32.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <cctype>
#include <optional>

#include "Collector.h"
#include "ControlIds.h"
#include "Driver.h"

using namespace e2e;

namespace {
const std::string Bom = "\xEF\xBB\xBF";

void WriteSyslogSettings(const TempFolder& home, const std::string& server, int port, const std::string& protocol = "TCP")
{
    WriteBytes(home / "Zentrok.ini", "[Log]\r\nSeparator=・\r\n[Events]\r\nLock=1\r\nEndReason=1\r\n[Syslog]\r\nServer=" +
                                         server + "\r\nPort=" + std::to_string(port) + "\r\nProtocol=" + protocol + "\r\n");
}

std::string Utf8(const std::string& ansi)
{
    wchar_t wide[1024];
    char utf8[3072];
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide, 1024);
    return std::string(utf8, WideCharToMultiByte(CP_UTF8, 0, wide, n, utf8, sizeof utf8, nullptr, nullptr));
}

std::string HostName()
{
    char name[256] = "";
    DWORD size = sizeof name;
    GetComputerNameExA(ComputerNameDnsHostname, name, &size);
    return name;
}

// The message against the RFC and the log's own line (fields joined by "・"), field by field;
// the tests run in Japan's time zone.
void ExpectMessage(const std::string& message, const std::string& line, const std::string& msgid, DWORD pid,
                   const std::string& reason = "")
{
    const std::size_t at = line.find("・" + UserName() + "・") + 2 * 2 + UserName().size();  // the date field
    std::string stamp = line.substr(at, 19);
    stamp[4] = stamp[7] = '-';
    stamp[10] = 'T';
    const std::string ms = message.substr(6 + 20, 3);
    EXPECT_TRUE(ms.size() == 3 && std::all_of(ms.begin(), ms.end(), ::isdigit)) << message;
    std::string sd = "[zentrok@32473 event=\"" + msgid + "\" user=\"" + Utf8(UserName()) + "\" computer=\"" +
                     Utf8(ComputerName()) + "\"";
    if (!reason.empty()) sd += " reason=\"" + Utf8(reason) + "\"";
    EXPECT_EQ(message, "<38>1 " + stamp + "." + ms + "+09:00 " + HostName() + " Zentrok " + std::to_string(pid) +
                           " " + msgid + " " + sd + "] " + Bom + Utf8(line));
}

bool Loaded(DWORD pid, const char* module)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Module32First(snapshot, &entry); more && !found; more = Module32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szModule, module) == 0;
    CloseHandle(snapshot);
    return found;
}

std::size_t Spooled(const TempFolder& home) { return Lines(ReadBytes(home / "Zentrok.spool")).size(); }

void Lock(const Program& zentrok, WPARAM change)
{
    PostMessageA(zentrok.MainWindow(), WM_WTSSESSION_CHANGE, change, 1);
    ASSERT_TRUE(zentrok.Sync());
}
} // namespace

TEST(Syslog, RecordsArriveFieldByFieldOverTcpAndUdp)
{
    // The test's hosts file gives zentrok-pair.test ::1 first, then 127.0.0.1.
    struct Case {
        const char *server, *protocol;
        bool deadFirst;  // nobody answers on ::1: the second address is used
    } cases[] = {{"127.0.0.1", "TCP", false}, {"[::1]", "udp", false}, {"::1", "tcp", false},
                 {"zentrok-pair.test", "TCP", true}};
    for (auto [server, protocol, deadFirst] : cases) {
        Collector collector(!deadFirst);
        ASSERT_TRUE(collector.Start());
        std::optional<StuckCollector> dead;
        if (deadFirst) dead.emplace(true, "::1", collector.Port());
        TempFolder home;
        WriteSyslogSettings(home, server, collector.Port(), protocol);
        Program zentrok(home);
        ASSERT_TRUE(StartedUp(zentrok));
        EXPECT_TRUE(Loaded(zentrok.Pid(), "ws2_32.dll"));
        Lock(zentrok, WTS_SESSION_LOCK);
        EXPECT_EQ(zentrok.Send(zentrok.MainWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 1);
        ASSERT_TRUE(collector.WaitMessages(3)) << server << " " << protocol;
        const auto got = collector.Messages();
        const auto log = Lines(ReadBytes(home / "Zentrok.txt"));
        ASSERT_EQ(got.size(), 3u);
        ASSERT_EQ(log.size(), 3u);
        ExpectMessage(got[0], log[2], "LOGON", zentrok.Pid());
        ExpectMessage(got[1], log[1], "LOCK", zentrok.Pid());
        ExpectMessage(got[2], log[0], "LOGOFF", zentrok.Pid(), "ログオフ");
        EXPECT_FALSE(Exists(home / "Zentrok.spool"));
    }
}

TEST(Syslog, RecordsWhileTheCollectorIsDownAreSpooledAndArriveFirstInOrder)
{
    Collector collector;  // not running at logon
    TempFolder home;
    WriteSyslogSettings(home, "127.0.0.1", collector.Port());
    {
        Program zentrok(home);
        ASSERT_TRUE(StartedUp(zentrok));
        Lock(zentrok, WTS_SESSION_LOCK);
        EXPECT_EQ(Spooled(home), 2u);
        ASSERT_TRUE(ShowStatusWindow(zentrok));
        HWND line = zentrok.Control(IDC_MAIN_LABELUNSENT);
        EXPECT_EQ(Text(line), "未送信の記録: 2 件");
        EXPECT_TRUE(IsWindowVisible(line));
        EXPECT_FALSE(zentrok.WaitMessageBox(0));

        ASSERT_TRUE(collector.Start());
        PostMessageA(zentrok.MainWindow(), WM_TIMER, ZENTROK_RETRY_TIMER, 0);  // the minute's retry
        ASSERT_TRUE(zentrok.Sync());
        EXPECT_TRUE(collector.WaitMessages(2));
        EXPECT_FALSE(Exists(home / "Zentrok.spool"));
        EXPECT_FALSE(IsWindowVisible(line));

        collector.Stop();
        Lock(zentrok, WTS_SESSION_UNLOCK);
        EXPECT_EQ(Spooled(home), 1u);
    }  // killed with its spool
    ASSERT_TRUE(collector.Start());
    Program next(home);
    ASSERT_TRUE(StartedUp(next));
    ASSERT_TRUE(collector.WaitMessages(4));
    const auto got = collector.Messages();
    const char* ids[] = {" LOGON [", " LOCK [", " UNLOCK [", " LOGON ["};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NE(got[i].find(ids[i]), std::string::npos) << got[i];
    EXPECT_FALSE(Exists(home / "Zentrok.spool"));
}

TEST(Syslog, ACollectorOutOfReachNeverHoldsUpTheSessionEnd)
{
    const StuckCollector silent(true), deaf(false);
    struct Case {
        std::string server;
        int port;
        bool spooled;
    } cases[] = {{"127.0.0.1", silent.Port(), true}, {"no-such-host.invalid", 514, true}, {"127.0.0.1", deaf.Port(), false}};
    for (const Case& c : cases) {
        TempFolder home;
        WriteSyslogSettings(home, c.server, c.port);
        Program zentrok(home);
        ASSERT_TRUE(StartedUp(zentrok));
        const DWORD asked = GetTickCount();
        EXPECT_EQ(zentrok.Send(zentrok.MainWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 1);
        EXPECT_LT(GetTickCount() - asked, 1500u) << c.server;
        if (c.spooled) EXPECT_EQ(Spooled(home), 2u) << c.server;
        EXPECT_EQ(Lines(ReadBytes(home / "Zentrok.txt")).size(), 2u);
    }
}

TEST(Syslog, WithoutTheKeysNoNetworkLibraryIsLoaded)
{
    TempFolder home;
    Program zentrok(home);
    ASSERT_TRUE(StartedUp(zentrok));
    EXPECT_TRUE(Loaded(zentrok.Pid(), "user32.dll"));  // the check sees the program's libraries
    EXPECT_FALSE(Loaded(zentrok.Pid(), "ws2_32.dll"));
}
