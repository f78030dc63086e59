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
    PostMessageA(main, RegisterWindowMessageA("IconNotify"), 0, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
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
} // namespace

TEST(Leak, FiveHundredShowingsAndDialogsLeaveNothingBehind)
{
    TempFolder folder;
    Program zentrok(folder);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, zentrok.Pid());
    ASSERT_TRUE(process);
    // The first hundred fill what the system caches for the run (about 400 KiB
    // under Wine, all of it in the first cycles); then nothing may grow.
    auto cycles = [&](int n) {
        for (int i = 0; i < n && !HasFatalFailure(); ++i) {
            ShowRefreshHide(zentrok);
            OpenAndCancelSettings(zentrok);
        }
    };
    cycles(100);
    Sleep(300);
    const Holdings before = Holdings::Of(process, zentrok.Pid());
    cycles(400);
    Sleep(300);
    const Holdings after = Holdings::Of(process, zentrok.Pid());
    std::printf("before: %s\nafter:  %s\n", ::testing::PrintToString(before).c_str(),
                ::testing::PrintToString(after).c_str());
    RecordProperty("before", ::testing::PrintToString(before));
    RecordProperty("after", ::testing::PrintToString(after));
    EXPECT_LE(after.gdi, before.gdi + 5);
    EXPECT_LE(after.user, before.user + 5);
    EXPECT_LE(after.handles, before.handles + 5);
    // Wine's version-6 common controls keep about 600 bytes per dialog of their own
    // (measured: flat without the manifest, the same with our glyph buttons left
    // out); a leaked bitmap (a 4 KiB page at least) or window a cycle is far more.
    EXPECT_LE(after.committed, before.committed + 400 * 1024);
    EXPECT_EQ(after.windows, before.windows);
    CloseHandle(process);
    EXPECT_TRUE(IconPresent(zentrok.MainWindow()));
    EXPECT_EQ(Lines(ReadBytes(folder / "Zentrok.txt")).size(), 1u);
}
