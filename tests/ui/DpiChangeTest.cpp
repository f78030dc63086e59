// Both windows moved to a monitor of another dpi: Windows sends WM_DPICHANGED with the
// new dpi and a suggested rectangle. Wine has one monitor, so the test sends it.
#include <gtest/gtest.h>

#include "MainLayout.h"
#include "SettingLayout.h"
#include "Settingunit.h"
#include "UiForm.h"

using namespace zentrok::layout;

namespace {
constexpr int NewDpi = 192;  // twice the layouts' figures
constexpr RECT Suggested{100, 80, 700, 300};

HWND OwnWindow(const char* cls)
{
    for (HWND w = FindWindowExA(nullptr, nullptr, cls, nullptr); w; w = FindWindowExA(nullptr, w, cls, nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId()) return w;
    }
    return nullptr;
}

void SendDpiChanged(HWND window)
{
    RECT suggested = Suggested;
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(NewDpi, NewDpi), reinterpret_cast<LPARAM>(&suggested));
}

RECT Frame(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return r;
}

RECT InParent(HWND control)
{
    RECT r = Frame(control);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

::testing::AssertionResult SameRect(const RECT& a, const RECT& b)
{
    if (EqualRect(&a, &b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a.left << "," << a.top << "," << a.right << "," << a.bottom << " vs "
                                         << b.left << "," << b.top << "," << b.right << "," << b.bottom;
}
} // namespace

TEST(DpiChange, StatusWindowTakesTheSuggestedRectangleAndTheNewScale)
{
    ui::Form f("");
    HWND w = f.form.Handle();
    SetWindowTextA(GetDlgItem(w, IDC_MAIN_LABELNOW), "現在時刻: 2026/12/06 09:05:03.");
    const int before = Frame(GetDlgItem(w, IDC_MAIN_LABELNOW)).right - Frame(GetDlgItem(w, IDC_MAIN_LABELNOW)).left;
    SendDpiChanged(w);
    EXPECT_TRUE(SameRect(Frame(w), Suggested));
    for (const Control& c : MainControls) {
        SCOPED_TRACE(c.id);
        const RECT r = InParent(GetDlgItem(w, c.id));
        EXPECT_EQ(r.left, 2 * c.left);
        EXPECT_EQ(r.top, 2 * c.top);
        if (c.style == Label) {
            EXPECT_GE(r.bottom - r.top, 2 * MainFontHeight);  // measured again with the larger font
        } else {
            EXPECT_EQ(r.right - r.left, 2 * c.width);
            EXPECT_EQ(r.bottom - r.top, 2 * c.height);
        }
    }
    const RECT now = Frame(GetDlgItem(w, IDC_MAIN_LABELNOW));
    EXPECT_GT(now.right - now.left, before * 3 / 2);  // the whole text, not the layout's placeholder width
}

TEST(DpiChange, SettingsDialogTakesTheSuggestedRectangleAndTheNewScale)
{
    ui::Form f("");
    TFormSet dialog(f.form.Handle());
    HWND w = OwnWindow(ZENTROK_SETTING_CLASS);
    ASSERT_TRUE(w);
    SendDpiChanged(w);
    EXPECT_TRUE(SameRect(Frame(w), Suggested));
    RECT client;
    GetClientRect(w, &client);  // the OK and Cancel buttons keep their distance to its bottom
    HWND panel = GetDlgItem(GetDlgItem(w, IDC_SET_PAGECONTROL), IDC_SET_PANELBASE1);
    for (const SetControl& c : SetControls) {
        if (c.page > 1 || c.width == 0 || c.id == IDC_SET_PAGECONTROL) continue;
        SCOPED_TRACE(c.id);
        const RECT r = InParent(GetDlgItem(c.page == 0 ? w : panel, c.id));
        EXPECT_EQ(r.left, 2 * c.left);
        EXPECT_EQ(r.right - r.left, 2 * c.width);
        EXPECT_EQ(r.bottom - r.top, 2 * c.height);
        if (c.page == 0) EXPECT_EQ(client.bottom - r.bottom, 2 * (SetClientHeight - c.top - c.height));  // anchored
        else EXPECT_EQ(r.top, 2 * c.top);
    }
}
