// The settings dialog of the real program: what it shows, its checks, what it stores.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ControlIds.h"
#include "DialogDriver.h"
#include "SettingIds.h"

using namespace e2e;

namespace {
void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

RECT WindowRect(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// Presses OK and expects the named box, then the page and the control to go back to.
void ExpectRefusal(const Program& zentrok, const SettingsDialog& dialog, const std::string& caption, int page,
                   int focusId, std::string* text = nullptr)
{
    SCOPED_TRACE(caption);
    dialog.PostClick(IDC_SET_BTNOK);
    const auto box = zentrok.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, caption);
    EXPECT_TRUE(box->exclamationIcon);
    EXPECT_EQ(GetWindow(box->hwnd, GW_OWNER), dialog.Handle());
    if (text) *text = box->text;
    PressOk(*box);
    EXPECT_TRUE(WaitUntil([&] { return dialog.Focus() == dialog.Control(focusId); }));
    EXPECT_EQ(dialog.Page(), page);
    EXPECT_TRUE(IsWindowVisible(dialog.Control(IDC_SET_PANELBASE1 + page)));
    EXPECT_TRUE(dialog.Open());
}

bool Prepare(const TempFolder& folder, const std::string& ini)
{
    if (!ini.empty()) WriteBytes(folder / "Zentrok.ini", ini);
    return true;
}

// Zentrok started on the given settings, its settings dialog open.
struct Opened {
    explicit Opened(const std::string& ini = "") : prepared(Prepare(folder, ini)) {}
    TempFolder folder;
    bool prepared;
    Program zentrok{folder};
    SettingsDialog dialog{zentrok};
};
} // namespace

TEST(SettingsDialog, ModalResizableWindowOnThePageOfTheFolder)
{
    Opened o;
    ASSERT_TRUE(o.dialog.Open());
    EXPECT_EQ(Text(o.dialog.Handle()), "ログ設定");
    const LONG style = GetWindowLongA(o.dialog.Handle(), GWL_STYLE);
    for (LONG bit : {WS_CAPTION, WS_SYSMENU, WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX}) EXPECT_TRUE(style & bit);
    const RECT r = WindowRect(o.dialog.Handle());
    EXPECT_EQ(r.right - r.left, 448);
    EXPECT_EQ(r.bottom - r.top, 336);
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_EQ(GetWindow(o.dialog.Handle(), GW_OWNER), o.zentrok.MainWindow());

    EXPECT_EQ(o.dialog.Page(), 0);
    EXPECT_TRUE(IsWindowVisible(o.dialog.Control(IDC_SET_PANELBASE1)));
    EXPECT_FALSE(IsWindowVisible(o.dialog.Control(IDC_SET_PANELBASE2)));
    EXPECT_FALSE(IsWindowVisible(o.dialog.Control(IDC_SET_PANELBASE3)));
    EXPECT_EQ(o.dialog.Text(IDC_SET_BTNOK), "OK");
    EXPECT_EQ(o.dialog.Text(IDC_SET_BITBTN2), "キャンセル");
    EXPECT_FALSE(IsWindowEnabled(o.zentrok.MainWindow()));
    EXPECT_FALSE(IsWindowEnabled(o.zentrok.AppWindow()));

    o.dialog.Click(IDC_SET_BITBTN2);
    ASSERT_TRUE(o.dialog.WaitClosed());
    EXPECT_TRUE(IsWindowEnabled(o.zentrok.MainWindow()));
    EXPECT_TRUE(IsWindowEnabled(o.zentrok.AppWindow()));
}

TEST(SettingsDialog, ResizingMovesTheButtonsWithTheBottomAndGrowsThePages)
{
    Opened o;
    const RECT tab = WindowRect(o.dialog.Control(IDC_SET_PAGECONTROL)), ok = WindowRect(o.dialog.Control(IDOK));
    const RECT r = WindowRect(o.dialog.Handle());
    SetWindowPos(o.dialog.Handle(), nullptr, 0, 0, r.right - r.left + 100, r.bottom - r.top + 60,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT tab2 = WindowRect(o.dialog.Control(IDC_SET_PAGECONTROL)), ok2 = WindowRect(o.dialog.Control(IDOK));
    EXPECT_EQ(tab2.right - tab2.left, tab.right - tab.left + 100);
    EXPECT_EQ(tab2.bottom - tab2.top, tab.bottom - tab.top + 60);
    EXPECT_EQ(ok2.left, ok.left);
    EXPECT_EQ(ok2.top, ok.top + 60);
    const RECT panel = WindowRect(o.dialog.Control(IDC_SET_PANELBASE1));
    EXPECT_GT(panel.right - panel.left, tab.right - tab.left);
}

TEST(SettingsDialog, ShowsTheSettings)
{
    Opened o("[Place]\r\nDirectory=C:\\Nowhere\r\nKeep=1\r\n[Name]\r\nNameKind=3\r\nNameDate=2\r\nNameString=x.log\r\n"
             "[Log]\r\nUserName=0\r\nSeparator=<TAB>\r\n");
    EXPECT_EQ(o.dialog.Text(IDC_SET_EDITSAVEFOLDER), "C:\\Nowhere");  // shown as stored
    EXPECT_TRUE(o.dialog.Checked(IDC_SET_CBKEEP));
    EXPECT_TRUE(o.dialog.Checked(IDC_SET_RBNAMEKIND3));
    EXPECT_FALSE(o.dialog.Checked(IDC_SET_RBNAMEKIND1));
    EXPECT_TRUE(o.dialog.Checked(IDC_SET_RGDATEKIND2));
    EXPECT_FALSE(o.dialog.Checked(IDC_SET_RGDATEKIND1));
    EXPECT_EQ(o.dialog.Text(IDC_SET_EDITFILENAMESTRING), "x.log");  // whatever the kind
    EXPECT_TRUE(o.dialog.Checked(IDC_SET_CBLOGONOFF));
    EXPECT_FALSE(o.dialog.Checked(IDC_SET_CBUSERNAME));
    EXPECT_TRUE(o.dialog.Checked(IDC_SET_RBSEPARATORTAB));
    EXPECT_FALSE(o.dialog.Checked(IDC_SET_RBSEPARATOROTHER));
    EXPECT_EQ(o.dialog.Text(IDC_SET_EDITSEPARATORUSER), "");
}

TEST(SettingsDialog, UnknownKindsShowTheFirstChoiceAndAreStoredSo)
{
    Opened o("[Name]\r\nNameKind=9\r\nNameDate=7\r\n[Log]\r\nSeparator=<tab>\r\n");
    EXPECT_TRUE(o.dialog.Checked(IDC_SET_RBNAMEKIND1));
    EXPECT_TRUE(o.dialog.Checked(IDC_SET_RGDATEKIND1));
    EXPECT_TRUE(o.dialog.Checked(IDC_SET_RBSEPARATOROTHER));
    EXPECT_EQ(o.dialog.Text(IDC_SET_EDITSEPARATORUSER), "<tab>");
    o.dialog.Click(IDC_SET_BTNOK);
    ASSERT_TRUE(o.dialog.WaitClosed());
    EXPECT_EQ(IniValue(o.folder, "Name", "NameKind"), "1");
    EXPECT_EQ(IniValue(o.folder, "Name", "NameDate"), "1");
    EXPECT_EQ(IniValue(o.folder, "Log", "Separator"), "<tab>");
}

TEST(SettingsDialog, ChecksInOrderWithTheirMessagesPagesAndFocus)
{
    Opened o;
    const std::string missing = o.folder / "missing";
    o.dialog.SetText(IDC_SET_EDITSAVEFOLDER, missing);
    o.dialog.SetText(IDC_SET_EDITFILENAMESTRING, "");
    o.dialog.Click(IDC_SET_RBSEPARATOROTHER);
    for (int id : {IDC_SET_CBLOGONOFF, IDC_SET_CBUSERNAME, IDC_SET_CBDATE, IDC_SET_CBMACHINENAME}) o.dialog.Click(id);

    std::string text;
    ExpectRefusal(o.zentrok, o.dialog, "フォルダが見つかりません", 0, IDC_SET_EDITSAVEFOLDER, &text);
    EXPECT_EQ(text, "指定されたフォルダ[ " + missing + "\\ ]は存在しません。\n\n存在するフォルダを指定して下さい。");

    o.dialog.SetText(IDC_SET_EDITSAVEFOLDER, o.folder.Path());
    ExpectRefusal(o.zentrok, o.dialog, "ファイル名が未指定", 1, IDC_SET_EDITFILENAMESTRING, &text);
    EXPECT_EQ(text, "ログファイルの固定ファイル名が指定されていません。何か名称を指定するか、他の選択肢を指定して下さい。");

    o.dialog.SetText(IDC_SET_EDITFILENAMESTRING, "a|b");
    ExpectRefusal(o.zentrok, o.dialog, "ファイル名に使えない文字があります", 1, IDC_SET_EDITFILENAMESTRING);
    o.dialog.Click(IDC_SET_RBNAMEKIND2);  // the name is checked even when not in use
    ExpectRefusal(o.zentrok, o.dialog, "ファイル名に使えない文字があります", 1, IDC_SET_EDITFILENAMESTRING);

    o.dialog.SetText(IDC_SET_EDITFILENAMESTRING, "");  // allowed when the fixed name isn't chosen
    ExpectRefusal(o.zentrok, o.dialog, "区切り文字がありません", 2, IDC_SET_EDITSEPARATORUSER);

    o.dialog.SetText(IDC_SET_EDITSEPARATORUSER, "   ");
    ExpectRefusal(o.zentrok, o.dialog, "項目の指定不足", 2, IDC_SET_CBLOGONOFF, &text);
    EXPECT_EQ(text, "ログへの出力項目が1つも選択されていないので、このままではログファイルに何も出力されません。"
                    "最低1項目は指定して下さい。\n\n実用的な観点から、最低でも「Logon/Logoff種別」と"
                    "「ログオン日時」の2項目を記録しないと意味がないと思います。");

    o.dialog.Click(IDC_SET_CBDATE);
    o.dialog.Click(IDC_SET_BTNOK);
    ASSERT_TRUE(o.dialog.WaitClosed());
    EXPECT_EQ(IniValue(o.folder, "Name", "NameKind"), "2");
    EXPECT_EQ(IniValue(o.folder, "Name", "NameString"), "");
    EXPECT_EQ(IniValue(o.folder, "Log", "Separator"), "");  // three blanks trimmed away
    EXPECT_EQ(IniValue(o.folder, "Log", "LogOnOff"), "0");
    EXPECT_EQ(IniValue(o.folder, "Log", "Date"), "1");
    EXPECT_EQ(IniValue(o.folder, "Place", "Keep"), "(absent)");  // never turned on, never written
}

TEST(SettingsDialog, OkStoresEveryValueAndAFolderConfirmedWithEnterGetsItsBackslash)
{
    Opened o;
    const std::string logs = o.folder / "Logs";
    CreateDirectoryA(logs.c_str(), nullptr);
    o.dialog.Click(IDC_SET_CBKEEP);
    o.dialog.Click(IDC_SET_RBNAMEKIND4);
    o.dialog.Click(IDC_SET_RGDATEKIND3);
    o.dialog.Click(IDC_SET_CBMACHINENAME);
    o.dialog.Click(IDC_SET_RBSEPARATOROTHER);
    o.dialog.SetText(IDC_SET_EDITSEPARATORUSER, " ; ");
    o.dialog.SetText(IDC_SET_EDITFILENAMESTRING, "ソフト.log");
    o.dialog.SetText(IDC_SET_EDITSAVEFOLDER, logs);
    o.dialog.FocusOn(IDC_SET_EDITSAVEFOLDER);
    o.dialog.Key(VK_RETURN);
    ASSERT_TRUE(o.dialog.WaitClosed());

    EXPECT_EQ(IniValue(o.folder, "Basic", "Version"), "2.00");
    EXPECT_EQ(IniValue(o.folder, "Place", "Directory"), logs + "\\");
    EXPECT_EQ(IniValue(o.folder, "Place", "Keep"), "1");
    EXPECT_EQ(IniValue(o.folder, "Name", "NameKind"), "4");
    EXPECT_EQ(IniValue(o.folder, "Name", "NameDate"), "3");
    EXPECT_EQ(IniValue(o.folder, "Name", "NameString"), "ソフト.log");
    for (const char* key : {"LogOnOff", "UserName", "Date"}) EXPECT_EQ(IniValue(o.folder, "Log", key), "1") << key;
    EXPECT_EQ(IniValue(o.folder, "Log", "MachineName"), "0");
    EXPECT_EQ(IniValue(o.folder, "Log", "Separator"), ";");
}

TEST(SettingsDialog, NewSeparatorIsSavedAtOnceButRecordsOfThisRunKeepTheOld)
{
    Opened o("[Extra]\r\nMine=kept\r\n[Log]\r\nSeparator=-\r\n");
    o.dialog.Click(IDC_SET_RBSEPARATORCOMMA);
    o.dialog.Click(IDC_SET_CBDATE);
    o.dialog.Click(IDC_SET_BTNOK);
    ASSERT_TRUE(o.dialog.WaitClosed());
    EXPECT_EQ(IniValue(o.folder, "Log", "Separator"), ",");
    EXPECT_EQ(IniValue(o.folder, "Extra", "Mine"), "kept");  // other keys of the file are left alone

    PostMessageA(o.zentrok.MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_EQ(o.zentrok.WaitExit(), 0u);
    const auto lines = Lines(ReadBytes(o.folder / "Zentrok.txt"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "LOGOFF - " + UserName() + " - " + ComputerName());  // no date now, old separator
}

TEST(SettingsDialog, SettingsFileThatCantBeWrittenShowsTheErrorAndKeepsTheChoices)
{
    TempFolder folder;
    CreateDirectoryA((folder / "Zentrok.ini").c_str(), nullptr);  // no file can be written there
    Program zentrok(folder);
    {
        SettingsDialog dialog(zentrok);
        dialog.Click(IDC_SET_CBDATE);
        dialog.PostClick(IDC_SET_BTNOK);
        const auto box = zentrok.WaitMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text, (folder / "Zentrok.ini") + " に書き込めません.");
        EXPECT_EQ(box->caption, "Zentrok");
        EXPECT_TRUE(box->errorIcon);
        PressOk(*box);
    }
    PostMessageA(zentrok.MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_EQ(zentrok.WaitExit(), 0u);
    // The new field choice governs the records of this run all the same.
    EXPECT_EQ(Lines(ReadBytes(folder / "Zentrok.txt"))[0], "LOGOFF - " + UserName() + " - " + ComputerName());
}

TEST(SettingsDialog, LeavingTheFolderFieldCompletesIt)
{
    Opened o;
    o.dialog.FocusOn(IDC_SET_EDITSAVEFOLDER);
    o.dialog.SetText(IDC_SET_EDITSAVEFOLDER, "C:\\windows");
    o.dialog.FocusOn(IDC_SET_BTNSAVEFOLDER);
    EXPECT_EQ(o.dialog.Text(IDC_SET_EDITSAVEFOLDER), "C:\\windows\\");
    o.dialog.SetText(IDC_SET_EDITSAVEFOLDER, "");
    o.dialog.FocusOn(IDC_SET_EDITSAVEFOLDER);
    o.dialog.FocusOn(IDC_SET_BTNSAVEFOLDER);
    EXPECT_EQ(o.dialog.Text(IDC_SET_EDITSAVEFOLDER), o.folder.Path() + "\\");  // the program's folder
}

TEST(SettingsDialog, CancelEscapeAndTheCloseBoxChangeNothing)
{
    const std::string ini = "[Name]\r\nNameKind=2\r\n";
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        Opened o(ini);
        o.dialog.SetText(IDC_SET_EDITFILENAMESTRING, "changed.txt");
        o.dialog.Click(IDC_SET_RBNAMEKIND1);
        o.dialog.Click(IDC_SET_CBDATE);
        if (way == 0) o.dialog.Click(IDC_SET_BITBTN2);
        if (way == 1) o.dialog.FocusOn(IDC_SET_EDITFILENAMESTRING), o.dialog.Key(VK_ESCAPE);
        if (way == 2) PostMessageA(o.dialog.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(o.dialog.WaitClosed());
        EXPECT_EQ(ReadBytes(o.folder / "Zentrok.ini"), ini);

        SettingsDialog again(o.zentrok);  // the members are untouched too
        EXPECT_EQ(again.Text(IDC_SET_EDITFILENAMESTRING), "Zentrok.txt");
        EXPECT_TRUE(again.Checked(IDC_SET_RBNAMEKIND2));
        EXPECT_TRUE(again.Checked(IDC_SET_CBDATE));
        EXPECT_EQ(again.Page(), 0);
        again.Click(IDC_SET_BITBTN2);
        ASSERT_TRUE(again.WaitClosed());
    }
}

TEST(SettingsDialog, ClosingTheProgramEndsTheDialogWithoutSaving)
{
    Opened o;
    o.dialog.SetText(IDC_SET_EDITFILENAMESTRING, "changed.txt");
    PostMessageA(o.zentrok.MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(o.zentrok.WaitExit(), 0u);
    EXPECT_FALSE(Exists(o.folder / "Zentrok.ini"));
    EXPECT_EQ(Lines(ReadBytes(o.folder / "Zentrok.txt")).size(), 2u);  // with the logoff record
}

TEST(SettingsDialog, MnemonicsAndTheStandardNameButton)
{
    Opened o;
    o.dialog.FocusOn(IDC_SET_BTNSAVEFOLDER);
    o.dialog.AltKey('f');  // Label1's mnemonic leads to the folder field
    EXPECT_TRUE(WaitUntil([&] { return o.dialog.Focus() == o.dialog.Control(IDC_SET_EDITSAVEFOLDER); }));

    o.dialog.TurnTo(2);
    o.dialog.FocusOn(IDC_SET_RBSEPARATORTAB);
    o.dialog.AltKey('s');  // Label7's leads nowhere
    ASSERT_TRUE(o.zentrok.Sync());
    EXPECT_EQ(o.dialog.Focus(), o.dialog.Control(IDC_SET_RBSEPARATORTAB));
    EXPECT_TRUE(o.dialog.Checked(IDC_SET_RBSEPARATORDEF));

    o.dialog.TurnTo(1);
    o.dialog.SetText(IDC_SET_EDITFILENAMESTRING, "other");
    o.dialog.Click(IDC_SET_RBNAMEKIND3);
    o.dialog.AltKey('s');  // BtnDefFileName
    EXPECT_TRUE(WaitUntil([&] { return o.dialog.Text(IDC_SET_EDITFILENAMESTRING) == "Zentrok.txt"; }));
    EXPECT_EQ(o.dialog.Focus(), o.dialog.Control(IDC_SET_EDITFILENAMESTRING));
    EXPECT_TRUE(o.dialog.Checked(IDC_SET_RBNAMEKIND3));
}

TEST(SettingsDialog, CancelledFolderBrowserLeavesTheFolderAndReturnsTheFocus)
{
    Opened o;
    const std::string before = o.dialog.Text(IDC_SET_EDITSAVEFOLDER);
    PostMessageA(o.dialog.Control(IDC_SET_BTNSAVEFOLDER), BM_CLICK, 0, 0);
    HWND browser = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (browser = FindWindowOf(o.zentrok.Pid(), "#32770", true)) != nullptr; }, 8000));
    EXPECT_EQ(GetWindow(browser, GW_OWNER), o.dialog.Handle());
    EXPECT_FALSE(IsWindowEnabled(o.dialog.Handle()));
    struct Find {
        const char* text;
        bool found;
    } title{"開きたいフォルダを選択して下さい。：", false};
    EnumChildWindows(
        browser,
        [](HWND child, LPARAM lp) {
            auto* f = reinterpret_cast<Find*>(lp);
            if (Text(child) == f->text) f->found = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&title));
    EXPECT_TRUE(title.found);
    PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return o.dialog.Focus() == o.dialog.Control(IDC_SET_EDITSAVEFOLDER); }));
    EXPECT_EQ(o.dialog.Text(IDC_SET_EDITSAVEFOLDER), before);
    EXPECT_TRUE(o.dialog.Open());
}

TEST(SettingsDialog, CtrlTabTurnsThePagesFromTheKeyboard)
{
    Opened o;
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == o.dialog.Handle(); }));
    PressKey(VK_TAB, true);
    EXPECT_TRUE(WaitUntil([&] { return o.dialog.Page() == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return o.dialog.Focus() == o.dialog.Control(IDC_SET_RBNAMEKIND1); }));
    PressKey(VK_TAB, true);
    PressKey(VK_TAB, true);
    EXPECT_TRUE(WaitUntil([&] { return o.dialog.Page() == 0; }));  // round again
    EXPECT_TRUE(IsWindowVisible(o.dialog.Control(IDC_SET_PANELBASE1)));
    EXPECT_FALSE(IsWindowVisible(o.dialog.Control(IDC_SET_PANELBASE3)));
}

// Not a check: keeps each page on screen for a while, for a screenshot.
TEST(SettingsDialog, DISABLED_PagesForALook)
{
    Opened o;
    for (int page = 0; page < 3; ++page) {
        o.dialog.TurnTo(page);
        Pause(4000);
    }
    o.dialog.TurnTo(1);
    o.dialog.SetText(IDC_SET_EDITFILENAMESTRING, "log:1.txt");
    o.dialog.Click(IDC_SET_BTNOK);
    Pause(4000);
    if (const auto box = o.zentrok.WaitMessageBox()) PressOk(*box);
}

TEST(SettingsDialog, TabStripIsATabStopAndArrowKeysTurnThePages)
{
    Opened o;
    HWND strip = o.dialog.Control(IDC_SET_PAGECONTROL);
    o.dialog.FocusOn(IDC_SET_BITBTN2);  // the last stop: Tab goes round to the first
    o.dialog.Key(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return o.dialog.Focus() == strip; }));
    o.dialog.Key(VK_RIGHT);
    EXPECT_TRUE(WaitUntil([&] { return o.dialog.Page() == 1 && IsWindowVisible(o.dialog.Control(IDC_SET_PANELBASE2)); }));
    EXPECT_EQ(o.dialog.Focus(), strip);  // the strip keeps it, so the next arrow turns on
    EXPECT_FALSE(IsWindowVisible(o.dialog.Control(IDC_SET_PANELBASE1)));
    o.dialog.Key(VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return o.dialog.Focus() == o.dialog.Control(IDC_SET_RBNAMEKIND1); }));
}
