// The status window of the real program: called up from the icon, its lines,
// its place, its buttons and keys, hiding and dragging.
#include <gtest/gtest.h>

#include "ControlIds.h"
#include "Driver.h"
#include "SettingIds.h"

using namespace e2e;

namespace {
const UINT IconNotify = RegisterWindowMessageA("IconNotify");

// An icon event as the shell posts it, handled when this returns.
void IconEvent(const Program& zentrok, UINT mouseMessage)
{
    PostMessageA(zentrok.MainWindow(), IconNotify, 0, mouseMessage);
    ASSERT_TRUE(zentrok.Sync());
}

void Show(const Program& zentrok) { ASSERT_TRUE(ShowStatusWindow(zentrok)); }

bool Visible(const Program& zentrok) { return IsWindowVisible(zentrok.MainWindow()) != FALSE; }

std::string Line(const Program& zentrok, int id) { return Text(zentrok.Control(id)); }

RECT Frame(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return r;
}

RECT WorkArea()
{
    RECT r;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

void MoveTo(HWND hwnd, int x, int y) { SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }

bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// Sets a value of the user's regional settings for one test.
class LocaleValue {
public:
    LocaleValue(const char* name, const char* value) : name_(name)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key_, nullptr);
        char old[80];
        DWORD size = sizeof old;
        if (RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS)
            old_ = old;
        RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), strlen(value) + 1);
    }
    ~LocaleValue()
    {
        if (old_) RegSetValueExA(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_->c_str()), old_->size() + 1);
        else RegDeleteValueA(key_, name_);
        RegCloseKey(key_);
    }

private:
    const char* name_;
    HKEY key_ = nullptr;
    std::optional<std::string> old_;
};
} // namespace

TEST(StatusWindow, DoubleClickOrRightPressShowsItOtherMouseEventsDoNothing)
{
    TempFolder folder;
    Program zentrok(folder);
    for (UINT event : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDOWN + 100}) {
        IconEvent(zentrok, event);
        EXPECT_FALSE(Visible(zentrok)) << event;
    }
    IconEvent(zentrok, WM_RBUTTONDOWN);
    EXPECT_TRUE(Visible(zentrok));
    PostMessageA(zentrok.Control(IDC_MAIN_BTNOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !Visible(zentrok); }));
    Show(zentrok);
}

TEST(StatusWindow, ShowsItsLinesInTheCornerBesideTheTaskbar)
{
    TempFolder folder;
    Program zentrok(folder);
    const std::size_t logonSize = ReadBytes(folder / "Zentrok.txt").size();
    Show(zentrok);
    const RECT frame = Frame(zentrok.MainWindow()), work = WorkArea();
    EXPECT_EQ(frame.right, work.right);  // the taskbar is at the bottom of this desktop
    EXPECT_EQ(frame.bottom, work.bottom);
    EXPECT_GE(frame.left, work.left);
    EXPECT_GE(frame.top, work.top);

    EXPECT_TRUE(StartsWith(Line(zentrok, IDC_MAIN_LABELNOW), "現在時刻: "));
    EXPECT_EQ(Line(zentrok, IDC_MAIN_LABELNOW).size(), std::string("現在時刻: ").size() + 20);
    EXPECT_EQ(Line(zentrok, IDC_MAIN_LABELTOTAL), "起動時間合計: 0:00:00");
    EXPECT_EQ(Line(zentrok, IDC_MAIN_LABELLOGSIZE), "ログファイルサイズ: " + std::to_string(logonSize) + " Bytes.");
    EXPECT_EQ(GetFocus(), nullptr);  // not ours; the focus is on BtnOk in the program's thread
    EXPECT_EQ(ThreadInfo(zentrok.MainWindow()).hwndFocus, zentrok.Control(IDC_MAIN_BTNOK));

    for (std::size_t size : {12345u, 0u}) {
        WriteBytes(folder / "Zentrok.txt", std::string(size, 'x'));
        PressKey(VK_F5);
        const std::string line = "ログファイルサイズ: " + std::to_string(size) + " Bytes.";
        EXPECT_TRUE(WaitUntil([&] { return Line(zentrok, IDC_MAIN_LABELLOGSIZE) == line; })) << line;
    }
}

TEST(StatusWindow, SecondDoubleClickChangesNothingF5RefreshesAndPlacesAgain)
{
    TempFolder folder;
    Program zentrok(folder);
    Show(zentrok);
    HWND main = zentrok.MainWindow();
    const RECT corner = Frame(main);
    MoveTo(main, 100, 100);  // as if dragged away
    DeleteFileA((folder / "Zentrok.txt").c_str());
    IconEvent(zentrok, WM_LBUTTONDBLCLK);
    EXPECT_EQ(Frame(main).left, 100);
    EXPECT_TRUE(StartsWith(Line(zentrok, IDC_MAIN_LABELLOGSIZE), "ログファイルサイズ: "));

    PressKey(VK_F5);
    EXPECT_TRUE(WaitUntil([&] { return Frame(main).left == corner.left; }));
    EXPECT_EQ(Frame(main).top, corner.top);
    EXPECT_EQ(Line(zentrok, IDC_MAIN_LABELLOGSIZE), "ログファイルが見つかりません。");
}

TEST(StatusWindow, RunningTimeFollowsTheUsersTimeFormat)
{
    TempFolder folder;
    {
        // Wine derives the leading zero, the clock and the marker's place from the time format.
        LocaleValue zero("sTimeFormat", "HH:mm:ss");
        Program zentrok(folder);
        Show(zentrok);
        EXPECT_EQ(Line(zentrok, IDC_MAIN_LABELTOTAL), "起動時間合計: 00:00:00");
    }
    {
        LocaleValue twelve("sTimeFormat", "h:mm:ss tt"), am("s1159", "AM");
        Program zentrok(folder);
        Show(zentrok);
        EXPECT_EQ(Line(zentrok, IDC_MAIN_LABELTOTAL), "起動時間合計: 12:00:00 AM");
    }
    {
        LocaleValue twelve("sTimeFormat", "tt h:mm:ss");
        Program zentrok(folder);
        Show(zentrok);
        EXPECT_EQ(Line(zentrok, IDC_MAIN_LABELTOTAL), "起動時間合計: 午前 12:00:00");
    }
}

TEST(StatusWindow, HidesOnOkEscapeEnterAndWhenAnotherProgramIsActivated)
{
    TempFolder folder;
    Program zentrok(folder);
    auto hidesAfter = [&](auto action) {
        Show(zentrok);
        action();
        return WaitUntil([&] { return !Visible(zentrok); });
    };
    EXPECT_TRUE(hidesAfter([&] { PostMessageA(zentrok.Control(IDC_MAIN_BTNOK), BM_CLICK, 0, 0); }));
    EXPECT_TRUE(hidesAfter([] { PressKey(VK_ESCAPE); }));
    EXPECT_TRUE(hidesAfter([] { PressKey(VK_RETURN); }));
    EXPECT_TRUE(hidesAfter([] { PressKey(VK_SPACE); }));
    // Another program's window becomes active.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr, nullptr, nullptr, nullptr);
    // (Wine now and then answers TRUE and leaves the foreground where it was: ask until it holds.)
    EXPECT_TRUE(hidesAfter([&] { WaitUntil([&] { return GetForegroundWindow() == other || !SetForegroundWindow(other); }); }));
    DestroyWindow(other);
    EXPECT_TRUE(zentrok.Running());
    EXPECT_TRUE(IconPresent(zentrok.MainWindow()));
    EXPECT_EQ(Lines(ReadBytes(folder / "Zentrok.txt")).size(), 1u);
}

// OK and a double click on the icon at once: the deactivation that the hide set going
// comes after the window is back, and must not take it away again.
TEST(StatusWindow, ShownAgainRightAfterOkStaysUp)
{
    TempFolder folder;
    Program zentrok(folder);
    for (int i = 0; i < 5; ++i) {
        Show(zentrok);
        PostMessageA(zentrok.Control(IDC_MAIN_BTNOK), BM_CLICK, 0, 0);
        PostMessageA(zentrok.MainWindow(), IconNotify, 0, WM_LBUTTONDBLCLK);
        zentrok.Settle();
        EXPECT_TRUE(Visible(zentrok)) << i;
    }
}

TEST(StatusWindow, KeysRunTheirCommandsUnlessProtected)
{
    {
        TempFolder folder;
        Program zentrok(folder);
        Show(zentrok);
        PressKey('L', true);  // opens the log in the associated program, which takes the foreground
        EXPECT_TRUE(WaitUntil([] { return FindWindowA(nullptr, "Zentrok.txt - メモ帳") != nullptr; }, 10000));
        if (HWND editor = FindWindowA(nullptr, "Zentrok.txt - メモ帳")) PostMessageA(editor, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !Visible(zentrok); }));
        Show(zentrok);
        PressKey('Q', true);
        EXPECT_EQ(zentrok.WaitExit(), 0u);
        EXPECT_EQ(Lines(ReadBytes(folder / "Zentrok.txt")).size(), 2u);
    }
    {
        TempFolder folder;
        Program zentrok(folder, "PROTECT");
        Show(zentrok);
        MoveTo(zentrok.MainWindow(), 100, 100);
        PressKey('Q', true);
        PressKey('S', true);
        // Keys are taken in order: once F5 has put the window back, the two before it were handled.
        PressKey(VK_F5);
        EXPECT_TRUE(WaitUntil([&] { return Frame(zentrok.MainWindow()).left != 100; }));
        EXPECT_TRUE(zentrok.Running());
        EXPECT_TRUE(Visible(zentrok));
        EXPECT_EQ(FindWindowOf(zentrok.Pid(), ZENTROK_SETTING_CLASS), nullptr);
        EXPECT_EQ(FileNames(folder.Path()).size(), 2u);  // no settings dialog wrote anything
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return !Visible(zentrok); }));
        PostMessageA(zentrok.AppWindow(), WM_CLOSE, 0, 0);
        EXPECT_EQ(zentrok.WaitExit(), 0u);
        EXPECT_EQ(Lines(ReadBytes(folder / "Zentrok.txt")).size(), 2u);
    }
}

TEST(StatusWindow, DraggedByItsBodyWithTheLeftButton)
{
    TempFolder folder;
    Program zentrok(folder);
    Show(zentrok);
    HWND main = zentrok.MainWindow();
    const RECT before = Frame(main);
    const LPARAM inside = MAKELPARAM(before.left + 20, before.top + 20);
    EXPECT_EQ(zentrok.Send(main, WM_NCHITTEST, 0, inside), HTCLIENT);  // idle pointer: an ordinary client area
    // Press on a label, move, release: real mouse input on the display.
    const std::string drag = "mousemove " + std::to_string(before.left + 20) + " " + std::to_string(before.top + 12) +
                             " mousedown 1 mousemove_relative -- -50 -50 sleep 0.2 mousemove_relative -- -50 -50"
                             " sleep 0.2 mouseup 1";
    if (!XdotoolInstalled()) GTEST_SKIP() << "xdotool is not installed";
    ASSERT_TRUE(Xdotool(drag));
    EXPECT_TRUE(WaitUntil([&] { return Frame(main).left == before.left - 100; }));
    EXPECT_EQ(Frame(main).top, before.top - 100);

    // A right click on a label opens the context menu instead, once the drag is over:
    // the button up and the program out of its moving loop.
    EXPECT_TRUE(WaitUntil([&] { return GetAsyncKeyState(VK_LBUTTON) >= 0 && !(ThreadInfo(main).flags & GUI_INMOVESIZE); }));
    const RECT moved = Frame(main);
    EXPECT_TRUE(Xdotool("mousemove " + std::to_string(moved.left + 20) + " " + std::to_string(moved.top + 12) + " click 3"));
    EXPECT_TRUE(WaitUntil([] { return FindWindowA("#32768", nullptr) != nullptr; }));
    EXPECT_EQ(Frame(main).left, moved.left);
    PressKey(VK_ESCAPE);
}

TEST(TrayIcon, ComesBackWhenTheShellRestartsButNotAfterTheCloseQuery)
{
    TempFolder folder;
    Program zentrok(folder);
    HWND main = zentrok.MainWindow();
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
    nid.hWnd = main;
    Shell_NotifyIconA(NIM_DELETE, &nid);  // as a shell restart loses it
    ASSERT_FALSE(IconPresent(main));
    PostMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return IconPresent(main); }));

    EXPECT_EQ(zentrok.Send(main, WM_QUERYENDSESSION), 1);
    zentrok.Send(main, WM_ENDSESSION, FALSE);
    PostMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_TRUE(zentrok.Sync());
    EXPECT_FALSE(IconPresent(main));
}

TEST(StatusWindow, OpeningALogNamedLikeAProgramShowsItInsteadOfRunningIt)
{
    TempFolder folder;
    WriteBytes(folder / "Zentrok.ini", "[Name]\r\nNameString=x.bat\r\n");
    WriteBytes(folder / "x.bat", "echo ran> ran.txt\r\n");
    Program zentrok(folder);
    ASSERT_EQ(Lines(ReadBytes(folder / "x.bat")).size(), 2u);
    PostMessageA(zentrok.Control(IDC_MAIN_BTNLOG), BM_CLICK, 0, 0);
    HWND editor = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (editor = FindWindowA(nullptr, "x.bat - メモ帳")) != nullptr; }, 10000));
    EXPECT_FALSE(Exists(folder / "ran.txt"));
    if (editor) PostMessageA(editor, WM_CLOSE, 0, 0);
}
