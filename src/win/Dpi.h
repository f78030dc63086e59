// Scaling of the layouts: every pixel figure in MainLayout.h and SettingLayout.h is
// given at 96 dpi and multiplied by dpi / 96 on other screens.
#pragma once
#include <windows.h>

#include "Handles.h"

// Sent when a window moves to a monitor of another dpi (Windows 8.1 and later).
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace zentrok {

constexpr int LayoutDpi = 96;

// The dpi a window is drawn at: its monitor's with per-monitor awareness (Windows 10
// 1607 and later), else the system's.
int WindowDpi(HWND hwnd);

// A layout figure at dpi, rounded.
inline int Scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, LayoutDpi); }

// Moves a child to a layout rectangle given at 96 dpi.
void PlaceScaled(HWND child, int left, int top, int width, int height, int dpi);

// Gives the window's children the layouts' font, face at a height of pixels at 96
// dpi, and keeps it in font; the font it had before goes once they have let go of it.
void SetLayoutFont(HWND window, FontHandle& font, const char* face, int pixels, int dpi);

// Labels size themselves to their text in font.
void SizeToText(HWND label, HFONT font);

// Takes the rectangle WM_DPICHANGED suggests.
void MoveToSuggested(HWND window, const RECT& suggested);

} // namespace zentrok
