// Hours of use in a minute: the status window shown, refreshed and hidden, the
// settings dialog opened and cancelled, again and again. What the program holds
// must not grow with them: one GDI object, handle or window lost per round shows
// as one per round.
#include <gtest/gtest.h>

#include <algorithm>

#include "ControlIds.h"
#include "DialogDriver.h"
#include "Driver.h"
#include "Holdings.h"

using namespace e2e;

namespace {
constexpr int Rounds = 25;  // in each of two stretches
constexpr int Slack = 4;    // objects that come and go on their own
// Wine keeps the window DCs it hands out in a cache that grows to the most ever in
// use at once, each with a region and one more object; measured: 10 to 12 DCs,
// in one step or two, 10 to 40 dialogs in.
constexpr int CachedDcs = 12;
constexpr int ObjectsPerCachedDc = 3;

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

Holdings Measure(const Program& zentrok, HANDLE process, const char* what, const char* when)
{
    zentrok.Settle();
    const Holdings h = Holdings::Of(process, zentrok.Exe());
    std::printf("%s, %s: %s\n", what, when, ::testing::PrintToString(h).c_str());
    return h;
}

// Runs the cycle in two stretches of Rounds and expects one of them, at least, to
// leave the program holding what it held before, within `allowed` private bytes: a
// leak grows in both. The window DC cache may grow in either, within its bound.
void ExpectNoGrowth(const Program& zentrok, HANDLE process, const char* what, void (*cycle)(const Program&),
                    std::int64_t allowed)
{
    SCOPED_TRACE(what);
    const auto stretch = [&] {
        for (int i = 0; i < Rounds && !::testing::Test::HasFatalFailure(); ++i) cycle(zentrok);
    };
    const Holdings start = Measure(zentrok, process, what, "before");
    stretch();
    const Holdings middle = Measure(zentrok, process, what, "halfway");
    stretch();
    const Holdings end = Measure(zentrok, process, what, "after");
    ASSERT_GT(start.gdi, 0) << "GDI objects can't be counted";
    ASSERT_GT(start.handles, 0) << "handles can't be counted";
    ASSERT_GT(start.privateBytes, 0) << "private bytes can't be read";
    const auto least = [&](auto field) { return std::min(middle.*field - start.*field, end.*field - middle.*field); };
    const auto otherGdi = [](const Holdings& from, const Holdings& to) {
        return to.gdi - from.gdi - ObjectsPerCachedDc * (to.windowDcs - from.windowDcs);
    };
    EXPECT_LE(least(&Holdings::windowDcs), CachedDcs);
    EXPECT_LE(std::min(otherGdi(start, middle), otherGdi(middle, end)), Slack);
    EXPECT_LE(least(&Holdings::handles), Slack);
    EXPECT_LE(least(&Holdings::windows), 0);
    EXPECT_LE(least(&Holdings::privateBytes), allowed);
}
} // namespace

TEST(Leak, ShowingsAndDialogsLeaveNothingBehind)
{
    TempFolder folder;
    Program zentrok(folder);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE, FALSE, zentrok.Pid());
    ASSERT_TRUE(process);
    // What the first showing and dialog load for good.
    ShowRefreshHide(zentrok);
    OpenAndCancelSettings(zentrok);
    ExpectNoGrowth(zentrok, process, "status window", ShowRefreshHide, 64 * 1024);
    // Wine's version-6 common controls keep 0.6 to 2 KiB per dialog of their own,
    // depending on the prefix's fonts (flat without the manifest, the same with our
    // glyph buttons left out).
    ExpectNoGrowth(zentrok, process, "settings dialog", OpenAndCancelSettings,
                   UnderWine() ? Rounds * 4 * 1024 + 64 * 1024 : 64 * 1024);
    CloseHandle(process);
    EXPECT_TRUE(IconPresent(zentrok.MainWindow()));
    EXPECT_EQ(Lines(ReadBytes(folder / "Zentrok.txt")).size(), 1u);
}
