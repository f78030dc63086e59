// Both windows of the real program at the screen's dpi: every figure of the layouts,
// given at 96 dpi, scaled by dpi / 96. CTest runs these at 96 dpi with the other
// end-to-end tests, and at 144 dpi on their own (e2e_dpi144).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "DialogDriver.h"
#include "MainLayout.h"
#include "SettingLayout.h"

using namespace e2e;
using namespace zentrok::layout;

namespace {
// Wine reads the dpi setting when a process starts; the program sees what we see.
int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

const int Dpi = ScreenDpi();
int S(int pixels) { return MulDiv(pixels, Dpi, 96); }
// Exact at 96 dpi; elsewhere a pixel either way, from the frames' own rounding.
const int Slack = Dpi == 96 ? 0 : 1;

// A control's rectangle in its parent's client coordinates.
RECT InParent(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE ClientSize(HWND hwnd)
{
    RECT r;
    GetClientRect(hwnd, &r);
    return {r.right, r.bottom};
}

// Expects a control at the layout's place; size too, unless it sizes itself to its text.
void ExpectPlaced(HWND control, int left, int top, int width, int height, bool sizedToText)
{
    ASSERT_TRUE(control);
    const RECT r = InParent(control);
    EXPECT_EQ(r.left, S(left));
    EXPECT_EQ(r.top, S(top));
    if (sizedToText) {
        // The text's height follows the scaled font.
        EXPECT_GE(r.bottom - r.top, S(MainFontHeight));
        EXPECT_LE(r.bottom - r.top, S(MainFontHeight + 3));
    } else {
        EXPECT_EQ(r.right - r.left, S(width));
        EXPECT_EQ(r.bottom - r.top, S(height));
    }
}

bool Green(COLORREF c) { return GetGValue(c) > 150 && GetRValue(c) < 120 && GetBValue(c) < 120; }

// Width of the green tick of the OK glyph: in the bitmap (its left, normal half) or on the screen.
int TickWidth(HDC dc, const RECT& area)
{
    int left = area.right, right = area.left - 1;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (Green(GetPixel(dc, x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right - left + 1;
}

int TickWidthInBitmap()
{
    HMODULE exe = LoadLibraryExA(ZentrokExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(exe, "GLYPH_OK", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    HDC mem = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(mem, bitmap);
    const int width = TickWidth(mem, {0, 0, info.bmWidth / 2, info.bmHeight});
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bitmap);
    FreeLibrary(exe);
    return width;
}
} // namespace

TEST(Dpi, TheScreenHasTheDpiTheRunAskedFor)
{
    // Set by the 144-dpi run, so that a setting Wine ignored can't pass for 96 dpi unnoticed.
    if (const char* expected = getenv("ZENTROK_EXPECT_DPI")) EXPECT_EQ(Dpi, atoi(expected));
    EXPECT_GE(Dpi, 96);
}

TEST(Dpi, StatusWindowScalesItsLayoutFontAndGlyphs)
{
    TempFolder folder;
    Program zentrok(folder);
    HWND main = zentrok.MainWindow();
    ASSERT_TRUE(ShowStatusWindow(zentrok));
    const SIZE client = ClientSize(main);
    EXPECT_NEAR(client.cx, S(MainClientWidth), Slack);
    EXPECT_NEAR(client.cy, S(MainClientHeight), Slack);
    for (const Control& c : MainControls) {
        SCOPED_TRACE(c.id);
        ExpectPlaced(zentrok.Control(c.id), c.left, c.top, c.width, c.height, c.style == Label);
    }

    RECT ok;
    GetWindowRect(zentrok.Control(IDC_MAIN_BTNOK), &ok);
    HDC screen = GetDC(nullptr);
    int onScreen = 0;
    WaitUntil([&] { return std::abs((onScreen = TickWidth(screen, ok)) - S(TickWidthInBitmap())) <= 1; });  // painted
    ReleaseDC(nullptr, screen);
    EXPECT_NEAR(onScreen, S(TickWidthInBitmap()), 1);
}

TEST(Dpi, SettingsDialogScalesItsLayout)
{
    TempFolder folder;
    Program zentrok(folder);
    SettingsDialog dialog(zentrok);
    ASSERT_TRUE(dialog.Open());
    RECT frame;
    GetWindowRect(dialog.Handle(), &frame);
    EXPECT_NEAR(frame.right - frame.left, S(SetWindowWidth), Slack);
    EXPECT_NEAR(frame.bottom - frame.top, S(SetWindowHeight), Slack);

    // The window's own controls keep their distances to the sides they are anchored to.
    const SIZE client = ClientSize(dialog.Handle());
    for (const SetControl& c : SetControls) {
        if (c.page != 0) continue;
        SCOPED_TRACE(c.id);
        const RECT r = InParent(dialog.Control(c.id));
        EXPECT_EQ(r.left, S(c.left));
        EXPECT_EQ(client.cy - r.bottom, S(SetClientHeight) - S(c.top) - S(c.height));
        if (c.id == IDC_SET_PAGECONTROL) {  // grows with the window
            EXPECT_EQ(r.top, S(c.top));
            EXPECT_EQ(client.cx - r.right, S(SetClientWidth) - S(c.left) - S(c.width));
        } else {
            EXPECT_EQ(r.right - r.left, S(c.width));
            EXPECT_EQ(r.bottom - r.top, S(c.height));
        }
    }
    // The pages' controls, within their panels.
    for (const SetControl& c : SetControls) {
        if (c.page == 0) continue;
        SCOPED_TRACE(c.id);
        ExpectPlaced(dialog.Control(c.id), c.left, c.top, c.width, c.height, c.width == 0);
    }
    dialog.Click(IDC_SET_BITBTN2);
    EXPECT_TRUE(dialog.WaitClosed());
}
