#include "GlyphButton.h"

#include <commctrl.h>

#include <memory>
#include <string>

#include "Dpi.h"
#include "Handles.h"

namespace zentrok {

namespace {
constexpr UINT_PTR SubclassId = 0x5A47;  // "ZG"
constexpr int Spacing = 4;               // between glyph and caption, at 96 dpi

struct GlyphData {
    BitmapHandle bitmap;
    int width, height;  // of one of the two images, drawn at 96 dpi
};

void DrawCaption(HDC dc, const std::string& text, RECT r, bool enabled)
{
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    SetBkMode(dc, TRANSPARENT);
    if (!enabled) {
        // Etched, as the system draws disabled text.
        OffsetRect(&r, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
        OffsetRect(&r, -1, -1);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    } else {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    }
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

void Paint(HWND button, const GlyphData& glyph)
{
    const PaintDc paint(button);  // ends after the selections below are undone
    HDC dc = paint.Get();
    RECT r;
    GetClientRect(button, &r);
    const LRESULT state = SendMessageA(button, BM_GETSTATE, 0, 0);
    const bool pushed = state & BST_PUSHED;
    const bool focused = GetFocus() == button;
    const bool enabled = IsWindowEnabled(button);
    const bool isDefault = (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;

    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    RECT face = r;
    if (isDefault) {
        FrameRect(dc, &face, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&face, -1, -1);
    }
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED | DFCS_FLAT : 0));
    if (pushed) FrameRect(dc, &face, GetSysColorBrush(COLOR_BTNSHADOW));

    char text[256] = "";
    GetWindowTextA(button, text, sizeof text);
    const std::string caption = text;
    const Selection font(dc, reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0)));
    SIZE textSize{};
    if (!caption.empty()) GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &textSize);

    // The glyph is stretched with the rest of the layout on screens above 96 dpi.
    const int dpi = WindowDpi(button);
    const int width = Scaled(glyph.width, dpi), height = Scaled(glyph.height, dpi), spacing = Scaled(Spacing, dpi);
    const int total = width + (caption.empty() ? 0 : spacing + textSize.cx);
    const int shift = pushed ? 1 : 0;
    const int left = (r.right - total) / 2 + shift;
    const int top = (r.bottom - height) / 2 + shift;
    if (glyph.bitmap) {
        const MemoryDc mem(CreateCompatibleDC(dc));
        const Selection image(mem.Get(), glyph.bitmap.Get());
        const COLORREF key = GetPixel(mem.Get(), 0, glyph.height - 1);  // the bottom-left pixel is see-through
        GdiTransparentBlt(dc, left, top, width, height, mem.Get(), enabled ? 0 : glyph.width, 0, glyph.width,
                          glyph.height, key);
    }
    if (!caption.empty()) {
        RECT textRect{left + width + spacing, r.top + shift, r.right, r.bottom + shift};
        DrawCaption(dc, caption, textRect, enabled);
    }
    if (focused && !(SendMessageA(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        RECT focus = face;
        InflateRect(&focus, -Scaled(3, dpi), -Scaled(3, dpi));
        DrawFocusRect(dc, &focus);
    }
}

LRESULT CALLBACK ButtonProc(HWND button, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    auto* glyph = reinterpret_cast<GlyphData*>(data);
    switch (msg) {
    case WM_PAINT: Paint(button, *glyph); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_NCDESTROY:
        RemoveWindowSubclass(button, ButtonProc, SubclassId);
        std::unique_ptr<GlyphData>{glyph};  // the button owned it
        break;
    }
    const LRESULT result = DefSubclassProc(button, msg, wp, lp);
    switch (msg) {
    // The button's own code repaints these directly; paint them our way again.
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_UPDATEUISTATE:
    case WM_CAPTURECHANGED: RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); break;
    }
    return result;
}
} // namespace

void AttachGlyph(HWND button, const char* bitmapName)
{
    if (!button) return;
    auto glyph = std::make_unique<GlyphData>();  // the button owns it until WM_NCDESTROY
    glyph->bitmap.Reset(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), bitmapName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (glyph->bitmap) {
        BITMAP info;
        GetObjectA(glyph->bitmap.Get(), sizeof info, &info);
        glyph->width = info.bmWidth / 2;
        glyph->height = info.bmHeight;
    }
    SetWindowSubclass(button, ButtonProc, SubclassId, reinterpret_cast<DWORD_PTR>(glyph.release()));
    InvalidateRect(button, nullptr, TRUE);
}

} // namespace zentrok
