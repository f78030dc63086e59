// The main window built inside this process, where its context menu can be read.
#include <gtest/gtest.h>

#include <string>

#include "ControlIds.h"
#include "TestFiles.h"
#include "UiForm.h"

namespace {
std::string ItemText(HMENU menu, UINT id)
{
    char text[128] = "";
    GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

bool Grayed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
} // namespace

using ui::Form;

TEST(MainForm, ContextMenuItemsInOrder)
{
    Form f("");
    HMENU menu = f.form.PopupMenu();
    ASSERT_EQ(GetMenuItemCount(menu), 8);
    const UINT ids[] = {IDM_POPUP_CLOSE, 0, IDM_POPUP_VIEW, IDM_POPUP_OPENLOG, 0, IDM_POPUP_SETTING, 0, IDM_POPUP_EXIT};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(GetMenuItemID(menu, i), ids[i] ? ids[i] : 0u) << i;
        if (!ids[i]) EXPECT_TRUE(GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) << i;
    }
    EXPECT_EQ(ItemText(menu, IDM_POPUP_CLOSE), "閉じる(&C)\tEsc");
    EXPECT_EQ(ItemText(menu, IDM_POPUP_VIEW), "表示更新(&V)\tF5");
    EXPECT_EQ(ItemText(menu, IDM_POPUP_OPENLOG), "ログを見る(&L)\tCtrl+L");
    EXPECT_EQ(ItemText(menu, IDM_POPUP_SETTING), "設定(&S)\tCtrl+S");
    EXPECT_EQ(ItemText(menu, IDM_POPUP_EXIT), "終了(&X)\tCtrl+Q");
    for (UINT id : {IDM_POPUP_CLOSE, IDM_POPUP_VIEW, IDM_POPUP_OPENLOG, IDM_POPUP_SETTING, IDM_POPUP_EXIT})
        EXPECT_FALSE(Grayed(menu, id)) << id;
}

TEST(MainForm, ProtectModeGreysExitAndSettingsOnly)
{
    Form f("protect");
    HMENU menu = f.form.PopupMenu();
    EXPECT_TRUE(Grayed(menu, IDM_POPUP_EXIT));
    EXPECT_TRUE(Grayed(menu, IDM_POPUP_SETTING));
    for (UINT id : {IDM_POPUP_CLOSE, IDM_POPUP_VIEW, IDM_POPUP_OPENLOG}) EXPECT_FALSE(Grayed(menu, id)) << id;
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(f.form.Handle(), IDC_MAIN_BTNCLOSE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(f.form.Handle(), IDC_MAIN_BTNSETTING)));
    EXPECT_EQ(f.form.MaxLines, 1000);
}

TEST(MainForm, MembersAfterStartWithoutSettingsFile)
{
    Form f("25");
    const std::string folder = f.exe.substr(0, f.exe.rfind('\\') + 1);
    EXPECT_EQ(f.form.IniFile, folder + "Zentrok.ini");
    EXPECT_EQ(f.form.LogFile, folder + "Zentrok.txt");
    EXPECT_EQ(f.form.MaxLines, 25);
    EXPECT_EQ(f.form.TrayMessage, RegisterWindowMessageA("IconNotify"));
    EXPECT_EQ(f.form.Separator, " - ");
    EXPECT_GT(f.form.StartDate, 46000.0);  // after 2025
    EXPECT_GE(f.form.StartTime, 0.0);
    EXPECT_LT(f.form.StartTime, 1.0);
}

// A session-end query that a box's or dialog's loop dispatches after the program
// decided to end must not write a second logoff line.
TEST(MainForm, SessionEndAfterTheCloseWritesNoSecondLogoff)
{
    Form f("");
    const auto logoffs = [&] {
        const std::string text = ui::ReadHead(f.form.LogFile).value_or("");
        int n = 0;
        for (std::size_t at = text.find("LOGOFF"); at != std::string::npos; at = text.find("LOGOFF", at + 1)) ++n;
        return n;
    };
    SendMessageA(f.form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(f.app.Terminated());
    EXPECT_EQ(logoffs(), 1);
    EXPECT_EQ(SendMessageA(f.form.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageA(f.form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(logoffs(), 1);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the close's, for no later loop to see
}
