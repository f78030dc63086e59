// The status window's layout at 96 dpi, in client pixels.
#pragma once
#include <windows.h>

#include "ControlIds.h"

namespace zentrok::layout {

constexpr int MainClientWidth = 272;
constexpr int MainClientHeight = 83;
// A row added below the rest for each of the optional lines that is shown.
constexpr int MainExtraRowHeight = 16;
inline constexpr const char* MissingLogoffText = "前回のログオフ記録がありません";
constexpr int MainFontHeight = 12;
inline constexpr const char* MainFontFace = "ＭＳ Ｐゴシック";

struct Control {
    int id;
    const char* windowClass;
    const char* text;  // placeholder for labels, caption for buttons
    DWORD style;
    int left, top, width, height;
    const char* hint;  // tooltip, or nullptr
};

constexpr DWORD Label = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
constexpr DWORD Button = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

// In tab order for the buttons.
inline constexpr Control MainControls[] = {
    {IDC_MAIN_LABELLOGGED, "STATIC", "LabelLogged", Label, 8, 8, 63, 12, nullptr},
    {IDC_MAIN_LABELNOW, "STATIC", "LabelNow", Label, 8, 24, 49, 12, nullptr},
    {IDC_MAIN_LABELTOTAL, "STATIC", "LabelTotal", Label, 8, 40, 53, 12, nullptr},
    {IDC_MAIN_BEVEL1, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, 5, 57, 180, 3, nullptr},
    {IDC_MAIN_LABELLOGSIZE, "STATIC", "LabelLogSize", Label, 8, 64, 66, 12, nullptr},
    // Hidden until wanted; shown ones stand in this order, a row each from the top of the first.
    {IDC_MAIN_LABELMISSING, "STATIC", "LabelMissing", Label, 8, 83, 66, 12, nullptr},
    {IDC_MAIN_LABELUNSENT, "STATIC", "LabelUnsent", Label, 8, 99, 66, 12, nullptr},
    {IDC_MAIN_LABELUNWRITTEN, "STATIC", "LabelUnwritten", Label, 8, 115, 66, 12, nullptr},
    {IDC_MAIN_BTNOK, "BUTTON", "OK", Button | BS_DEFPUSHBUTTON, 190, 5, 75, 24, "このウインドウを閉じます。"},
    {IDC_MAIN_BTNLOG, "BUTTON", "", Button, 190, 30, 37, 24, "ログファイルを開きます。"},
    {IDC_MAIN_BTNCLOSE, "BUTTON", "終了", Button, 190, 55, 75, 24, "アプリケーションを終了します。"},
    {IDC_MAIN_BTNSETTING, "BUTTON", "", Button, 228, 29, 37, 25, nullptr},
};

inline constexpr int MainExtraRows[] = {IDC_MAIN_LABELMISSING, IDC_MAIN_LABELUNSENT, IDC_MAIN_LABELUNWRITTEN};

struct MenuItem {
    int id;           // 0 for a separator
    const char* text;
};

inline constexpr MenuItem MainPopupMenu[] = {
    {IDM_POPUP_CLOSE, "閉じる(&C)\tEsc"},
    {0, nullptr},  // N2
    {IDM_POPUP_VIEW, "表示更新(&V)\tF5"},
    {IDM_POPUP_OPENLOG, "ログを見る(&L)\tCtrl+L"},
    {0, nullptr},  // N1
    {IDM_POPUP_SETTING, "設定(&S)\tCtrl+S"},
    {0, nullptr},  // N3
    {IDM_POPUP_EXIT, "終了(&X)\tCtrl+Q"},
};

// Keys that run a menu command while the status window has the focus.
struct Shortcut {
    UINT key;
    bool control;
    int command;
};

inline constexpr Shortcut MainShortcuts[] = {
    {VK_ESCAPE, false, IDM_POPUP_CLOSE}, {VK_F5, false, IDM_POPUP_VIEW},   {'L', true, IDM_POPUP_OPENLOG},
    {'S', true, IDM_POPUP_SETTING},      {'Q', true, IDM_POPUP_EXIT},
};

// Bitmap resources of the buttons' glyphs.
struct Glyph {
    int id;
    const char* bitmap;
};

inline constexpr Glyph MainGlyphs[] = {
    {IDC_MAIN_BTNOK, "GLYPH_OK"},
    {IDC_MAIN_BTNLOG, "GLYPH_LOG"},
    {IDC_MAIN_BTNCLOSE, "GLYPH_ABORT"},
    {IDC_MAIN_BTNSETTING, "GLYPH_SETTING"},
};

} // namespace zentrok::layout
