// The scoped GDI owners: what they select goes back, what they take is given back.
#include <gtest/gtest.h>

#include "Dpi.h"
#include "Handles.h"
#include "WinSystem.h"

using namespace zentrok;

TEST(Handles, SelectionPutsTheOldObjectBackAndDcsAreGivenBack)
{
    MemoryDc dc(CreateCompatibleDC(nullptr));
    const HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_FONT);
    FontHandle font(CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    {
        const Selection selected(dc.Get(), font.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), font.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), before);

    // Many times over: nothing of the process's GDI share may stay behind.
    HWND label = CreateWindowExA(0, "STATIC", "text", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const DWORD objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 200; ++i) {
        SizeToText(label, font.Get());
        WindowDpi(nullptr);
        FileSize("C:\\windows\\win.ini");
    }
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), objects + 2);
    DestroyWindow(label);
    EXPECT_FALSE(FileSize("C:\\no such folder\\x.txt"));
}
