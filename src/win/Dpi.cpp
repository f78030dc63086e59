#include "Dpi.h"

#include <string>

namespace zentrok {

int WindowDpi(HWND hwnd)
{
    // Looked up at run time: user32 of Windows before 10 1607 doesn't have it.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && hwnd)
        if (const UINT dpi = getDpiForWindow(hwnd)) return static_cast<int>(dpi);
    const WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return dpi > 0 ? dpi : LayoutDpi;
}

void PlaceScaled(HWND child, int left, int top, int width, int height, int dpi)
{
    MoveWindow(child, Scaled(left, dpi), Scaled(top, dpi), Scaled(width, dpi), Scaled(height, dpi), TRUE);
}

namespace {
BOOL CALLBACK SetFontOf(HWND child, LPARAM font)
{
    SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}
} // namespace

void SetLayoutFont(HWND window, FontHandle& font, const char* face, int pixels, int dpi)
{
    FontHandle scaled(CreateFontA(-Scaled(pixels, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, face));
    EnumChildWindows(window, SetFontOf, reinterpret_cast<LPARAM>(scaled.Get()));
    font = std::move(scaled);
}

void MoveToSuggested(HWND window, const RECT& suggested)
{
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SizeToText(HWND label, HFONT font)
{
    std::string text(GetWindowTextLengthA(label) + 1, '\0');
    text.resize(GetWindowTextA(label, text.data(), static_cast<int>(text.size())));
    const bool noPrefix = (GetWindowLongA(label, GWL_STYLE) & SS_NOPREFIX) != 0;
    RECT r{};
    {
        const WindowDc dc(label);
        const Selection selected(dc.Get(), font);
        DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_SINGLELINE | (noPrefix ? DT_NOPREFIX : 0));
    }
    SetWindowPos(label, nullptr, 0, 0, r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace zentrok
