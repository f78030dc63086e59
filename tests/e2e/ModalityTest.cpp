// What the application keeps out of reach while a box or the dialog runs, where the focus
// goes afterwards, and what protect mode holds back however the command arrives.
#include <gtest/gtest.h>

#include "ControlIds.h"
#include "DialogDriver.h"
#include "SettingIds.h"

using namespace e2e;

namespace {
const UINT IconNotify = RegisterWindowMessageA("IconNotify");

HWND Active(const Program& zentrok) { return ThreadInfo(zentrok.MainWindow()).hwndActive; }
HWND Focus(const Program& zentrok) { return ThreadInfo(zentrok.MainWindow()).hwndFocus; }

void Show(const Program& zentrok) { ASSERT_TRUE(ShowStatusWindow(zentrok)); }

// Tab moves the focus off its usual place; the control that has it then.
HWND TabAway(const Program& zentrok)
{
    PressKey(VK_TAB);
    WaitUntil([&] { return Focus(zentrok) != zentrok.Control(IDC_MAIN_BTNOK); });
    return Focus(zentrok);
}

HWND SettingsWindow(const Program& zentrok) { return FindWindowOf(zentrok.Pid(), ZENTROK_SETTING_CLASS, true); }

// Ctrl+S: the focus stays where it is, as a click on 設定 would not leave it.
HWND OpenSettingsFromTheKeyboard(const Program& zentrok)
{
    PressKey('S', true);
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = SettingsWindow(zentrok)) != nullptr; });
    return dialog;
}

void ClickIn(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
} // namespace

TEST(Modality, ErrorBoxDisablesTheStatusWindowAndGivesTheActivationBack)
{
    TempFolder folder;
    CreateDirectoryA((folder / "Zentrok.ini").c_str(), nullptr);  // saving the settings fails
    Program zentrok(folder);
    Show(zentrok);
    HWND main = zentrok.MainWindow();
    const HWND focus = TabAway(zentrok);  // it must come back here
    ASSERT_NE(focus, zentrok.Control(IDC_MAIN_BTNOK));
    {
        HWND dialog = OpenSettingsFromTheKeyboard(zentrok);
        ASSERT_TRUE(dialog);
        ClickIn(dialog, IDC_SET_BTNOK);
        const auto box = zentrok.WaitMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->caption, "Zentrok");
        EXPECT_TRUE(box->errorIcon);
        EXPECT_FALSE(IsWindowEnabled(main));  // no 終了 or 設定 inside the box's loop
        PressOk(*box);
    }
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) && Active(zentrok) == main; }));
    EXPECT_EQ(Focus(zentrok), focus);
    EXPECT_TRUE(zentrok.Running());
}

TEST(Modality, FocusComesBackAfterTheDialogButNotToAWindowHiddenMeanwhile)
{
    TempFolder folder;
    Program zentrok(folder);
    Show(zentrok);
    HWND main = zentrok.MainWindow();
    const HWND focus = TabAway(zentrok);
    HWND dialog = OpenSettingsFromTheKeyboard(zentrok);
    ASSERT_TRUE(dialog);
    ClickIn(dialog, IDC_SET_BITBTN2);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && Active(zentrok) == main && Focus(zentrok) == focus; }));

    dialog = OpenSettingsFromTheKeyboard(zentrok);
    ASSERT_TRUE(dialog);
    PostMessageA(main, WM_COMMAND, IDC_MAIN_BTNOK, 0);  // hidden, as when another program is activated
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    ClickIn(dialog, IDC_SET_BITBTN2);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    zentrok.Settle();
    EXPECT_NE(Active(zentrok), main);  // the hidden window would take Ctrl+Q unseen
    EXPECT_FALSE(IsChild(main, Focus(zentrok)));
}

TEST(Modality, ProtectModeHoldsBackPostedCommandsAndOtherModifiers)
{
    TempFolder folder;
    Program zentrok(folder, "PROTECT");
    HWND main = zentrok.MainWindow();
    for (int id : {IDC_MAIN_BTNCLOSE, IDM_POPUP_EXIT, IDC_MAIN_BTNSETTING, IDM_POPUP_SETTING})
        PostMessageA(main, WM_COMMAND, id, 0);
    Show(zentrok);  // posted after them: handled after them
    EXPECT_TRUE(zentrok.Running());
    EXPECT_EQ(SettingsWindow(zentrok), nullptr);
    PostMessageA(zentrok.AppWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(zentrok.WaitExit(), 0u);
}

TEST(Modality, ShortcutsNeedExactlyTheirModifiers)
{
    if (!XdotoolInstalled()) GTEST_SKIP() << "xdotool is not installed";
    TempFolder folder;
    Program zentrok(folder);
    Show(zentrok);
    HWND main = zentrok.MainWindow();
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));  // where the display's keys go
    RECT r;
    GetWindowRect(main, &r);
    // Real keys through the display: the program reads the modifiers' state as they were.
    for (const char* keys : {"ctrl+shift+s", "ctrl+alt+s", "ctrl+shift+q", "shift+Escape", "shift+F5"}) {
        SCOPED_TRACE(keys);
        SetWindowPos(main, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(Xdotool(std::string("key ") + keys + " F5"));  // the plain key still works, after the other
        EXPECT_TRUE(WaitUntil([&] {
            RECT now;
            GetWindowRect(main, &now);
            return now.left == r.left;
        }));
        EXPECT_TRUE(zentrok.Running());
        EXPECT_TRUE(IsWindowVisible(main));
        EXPECT_EQ(SettingsWindow(zentrok), nullptr);
    }
}

TEST(Modality, DisabledExitButtonShowsItsHint)
{
    if (!XdotoolInstalled()) GTEST_SKIP() << "xdotool is not installed";
    TempFolder folder;
    Program zentrok(folder, "PROTECT");
    Show(zentrok);
    RECT r;
    GetWindowRect(zentrok.Control(IDC_MAIN_BTNCLOSE), &r);
    ASSERT_TRUE(Xdotool("mousemove 0 0 mousemove " + std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2)));
    HWND tip = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (tip = FindWindowOf(zentrok.Pid(), "tooltips_class32", true)) != nullptr; }));
    EXPECT_EQ(Text(tip), "アプリケーションを終了します。");
}
