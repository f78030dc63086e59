// Hours of use in a minute: the status window shown, refreshed and hidden, the
// settings dialog opened and cancelled, 500 times each. What the program holds
// afterwards must be what it held before.
#include <gtest/gtest.h>

#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>

#include "ControlIds.h"
#include "DialogDriver.h"
#include "Driver.h"
#include "SettingIds.h"

using namespace e2e;

namespace {
struct Holdings {
    DWORD gdi = 0, user = 0;  // GetGuiResources: 0 under Wine, which doesn't count them
    DWORD handles = 0;
    SIZE_T committed = 0;  // private bytes on Windows
    int windows = 0;

    static Holdings Of(HANDLE process, DWORD pid)
    {
        Holdings h;
        h.gdi = GetGuiResources(process, GR_GDIOBJECTS);
        h.user = GetGuiResources(process, GR_USEROBJECTS);
        GetProcessHandleCount(process, &h.handles);
        PROCESS_MEMORY_COUNTERS counters{};
        GetProcessMemoryInfo(process, &counters, sizeof counters);
        h.committed = counters.PagefileUsage;
        struct Count {
            DWORD pid;
            int n;
        } count{pid, 0};
        EnumWindows(
            [](HWND w, LPARAM lp) {
                auto* c = reinterpret_cast<Count*>(lp);
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == c->pid) {
                    ++c->n;
                    EnumChildWindows(w, [](HWND, LPARAM l) { return ++*reinterpret_cast<int*>(l), TRUE; },
                                     reinterpret_cast<LPARAM>(&c->n));
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&count));
        h.windows = count.n;
        return h;
    }
};

void PrintTo(const Holdings& h, std::ostream* os)
{
    *os << "gdi " << h.gdi << ", user " << h.user << ", handles " << h.handles << ", committed "
              << h.committed / 1024 << " KiB, windows " << h.windows;
}

void ShowRefreshHide(const Program& zentrok)
{
    HWND main = zentrok.MainWindow();
    ASSERT_TRUE(ShowStatusWindow(zentrok));
    PostMessageA(main, WM_COMMAND, IDM_POPUP_VIEW, 0);  // F5
    PostMessageA(zentrok.Control(IDC_MAIN_BTNOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
}

void OpenAndCancelSettings(const Program& zentrok)
{
    SettingsDialog dialog(zentrok);
    ASSERT_TRUE(dialog.Open());
    PostMessageA(dialog.Handle(), WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(dialog.WaitClosed());
}
bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// Runs n cycles of one kind and expects the program to hold no more afterwards
// than before, within `allowed` bytes of commit charge.
void ExpectNoGrowth(const Program& zentrok, HANDLE process, const char* what, void (*cycle)(const Program&), SIZE_T allowed)
{
    SCOPED_TRACE(what);
    const Holdings before = Holdings::Of(process, zentrok.Pid());
    for (int i = 0; i < 400 && !::testing::Test::HasFatalFailure(); ++i) cycle(zentrok);
    zentrok.Settle();
    const Holdings after = Holdings::Of(process, zentrok.Pid());
    std::printf("%s, before: %s\n%s, after:  %s\n", what, ::testing::PrintToString(before).c_str(), what,
                ::testing::PrintToString(after).c_str());
    EXPECT_LE(after.gdi, before.gdi + 5);
    EXPECT_LE(after.user, before.user + 5);
    EXPECT_LE(after.handles, before.handles + 5);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_LE(after.committed, before.committed + allowed);
}
} // namespace

TEST(Leak, FiveHundredShowingsAndDialogsLeaveNothingBehind)
{
    TempFolder folder;
    Program zentrok(folder);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, zentrok.Pid());
    ASSERT_TRUE(process);
    // The first hundred of each fill what the system caches for the run.
    for (int i = 0; i < 100 && !HasFatalFailure(); ++i) {
        ShowRefreshHide(zentrok);
        OpenAndCancelSettings(zentrok);
    }
    ExpectNoGrowth(zentrok, process, "status window", ShowRefreshHide, 64 * 1024);
    // Wine's version-6 common controls keep 0.6 to 2 KiB per dialog of their own,
    // depending on the prefix's fonts (measured: flat without the manifest, the same
    // with our glyph buttons left out); Windows counts the GUI objects exactly.
    ExpectNoGrowth(zentrok, process, "settings dialog", OpenAndCancelSettings,
                   UnderWine() ? 400 * 4 * 1024 : 128 * 1024);
    CloseHandle(process);
    EXPECT_TRUE(IconPresent(zentrok.MainWindow()));
    EXPECT_EQ(Lines(ReadBytes(folder / "Zentrok.txt")).size(), 1u);
}
