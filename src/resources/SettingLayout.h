// The settings dialog's layout at 96 dpi, in client pixels of its parent.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "SettingIds.h"

namespace zentrok::layout {

inline constexpr const char* SetCaption = "ログ設定";
constexpr int SetWindowWidth = 448;
constexpr int SetWindowHeight = 336;
// The client size the anchored controls keep their distances to.
constexpr int SetClientWidth = 440;
constexpr int SetClientHeight = 302;
constexpr int SetFontHeight = 12;
inline constexpr const char* SetFontFace = "ＭＳ Ｐゴシック";

struct SetPage {
    int panelId;
    const char* caption;
};

inline constexpr SetPage SetPages[] = {
    {IDC_SET_PANELBASE1, "ログファイル保存場所"},
    {IDC_SET_PANELBASE2, "ログファイル名"},
    {IDC_SET_PANELBASE3, "ログファイル形式"},
};

struct SetControl {
    int id;
    int page;  // 0: the window itself; 1 to 3: that page's panel
    const char* windowClass;
    const char* text;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;  // labels: a width of 0 sizes them to their text
};

constexpr DWORD SetChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD SetLabel = SetChild | SS_LEFT | SS_NOPREFIX;
constexpr DWORD SetMnemonicLabel = SetChild | SS_LEFT;
constexpr DWORD SetEdit = SetChild | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL;
constexpr DWORD SetButton = SetChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
constexpr DWORD SetCheck = SetChild | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX;
// The first radio button of a group starts it and takes the tab stop.
constexpr DWORD SetFirstRadio = SetChild | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON;
constexpr DWORD SetRadio = SetChild | BS_AUTORADIOBUTTON;

// In tab order within each parent: creation order is the dialog's tab order.
inline constexpr SetControl SetControls[] = {
    {IDC_SET_PAGECONTROL, 0, WC_TABCONTROLA, "", SetChild | WS_TABSTOP | WS_GROUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
     WS_EX_CONTROLPARENT, 5, 5, 430, 262},
    {IDC_SET_BTNOK, 0, "BUTTON", "OK", SetButton | BS_DEFPUSHBUTTON, 0, 129, 272, 90, 25},
    {IDC_SET_BITBTN2, 0, "BUTTON", "キャンセル", SetButton, 0, 224, 272, 90, 25},

    // A label with a mnemonic hands the focus to the next control: Label1 to EditSaveFolder.
    {IDC_SET_LABEL1, 1, "STATIC", "ログファイルを保存するフォルダを指定(&F)：", SetMnemonicLabel, 0, 8, 8, 0, 0},
    {IDC_SET_EDITSAVEFOLDER, 1, "EDIT", "", SetEdit, WS_EX_CLIENTEDGE, 16, 32, 300, 20},
    {IDC_SET_BTNSAVEFOLDER, 1, "BUTTON", "参照(&R)", SetButton, 0, 320, 30, 50, 25},
    // Under the folder, the notes moved down a row for it.
    {IDC_SET_CBKEEP, 1, "BUTTON", "書き込めない記録を保存し、後で書き込む(&W)", SetCheck, 0, 16, 60, 300, 17},
    {IDC_SET_LABEL2, 1, "STATIC", "このツールを管理者権限のないユーザに対しても使用する場合は、", SetLabel, 0, 8, 92, 0, 0},
    {IDC_SET_LABEL3, 1, "STATIC", "管理者権限がなくても書き込みが可能なフォルダを指定する必要が", SetLabel, 0, 8, 108, 0, 0},
    {IDC_SET_LABEL4, 1, "STATIC", "ある点に注意して下さい。", SetLabel, 0, 8, 124, 0, 0},
    {IDC_SET_LABEL8, 1, "STATIC", "また、管理者権限を所有しているユーザであっても、他のユーザの", SetLabel, 0, 8, 148, 0, 0},
    {IDC_SET_LABEL9, 1, "STATIC", "個人領域内には書き込みできない可能性がありますので、個人領域", SetLabel, 0, 8, 164, 0, 0},
    {IDC_SET_LABEL10, 1, "STATIC", "ではないフォルダを指定することをお勧め致します。", SetLabel, 0, 8, 180, 0, 0},

    {IDC_SET_LABEL5, 2, "STATIC", "ログファイルの名称を指定：", SetLabel, 0, 8, 8, 0, 0},
    {IDC_SET_RBNAMEKIND1, 2, "BUTTON", "固定ファイル名(&F)：", SetFirstRadio, 0, 16, 32, 200, 17},
    {IDC_SET_RBNAMEKIND2, 2, "BUTTON", "日付(&D)：", SetRadio, 0, 16, 80, 200, 17},
    {IDC_SET_RBNAMEKIND3, 2, "BUTTON", "マシン名(&M)", SetRadio, 0, 16, 176, 200, 17},
    {IDC_SET_RBNAMEKIND4, 2, "BUTTON", "ユーザ名(&U)", SetRadio, 0, 16, 200, 200, 17},
    {IDC_SET_EDITFILENAMESTRING, 2, "EDIT", "Zentrok.txt", SetEdit, WS_EX_CLIENTEDGE, 40, 51, 200, 20},
    // rgDateKind: a captionless frame, its items spread over it below a font's height.
    {IDC_SET_RGDATEKIND, 2, "BUTTON", "", SetChild | BS_GROUPBOX, 0, 40, 96, 200, 73},
    {IDC_SET_RGDATEKIND1, 2, "BUTTON", "年月日 （例：20041128.txt）", SetFirstRadio, 0, 48, 110, 190, 18},
    {IDC_SET_RGDATEKIND2, 2, "BUTTON", "年月 （例：200411.txt）", SetRadio, 0, 48, 128, 190, 18},
    {IDC_SET_RGDATEKIND3, 2, "BUTTON", "年 （例：2004.txt）", SetRadio, 0, 48, 146, 190, 18},
    {IDC_SET_BTNDEFFILENAME, 2, "BUTTON", "標準ファイル名(&S)", SetButton, 0, 244, 49, 120, 23},

    {IDC_SET_LABEL6, 3, "STATIC", "ログファイルに記録する情報を選択：", SetLabel, 0, 8, 8, 0, 0},
    {IDC_SET_CBLOGONOFF, 3, "BUTTON", "Logon/Logoff 種別(&L)", SetCheck, 0, 16, 32, 200, 17},
    {IDC_SET_CBUSERNAME, 3, "BUTTON", "ログオンユーザ名(&U)", SetCheck, 0, 16, 56, 200, 17},
    {IDC_SET_CBDATE, 3, "BUTTON", "ログオン日時(&D)", SetCheck, 0, 16, 80, 200, 17},
    {IDC_SET_CBMACHINENAME, 3, "BUTTON", "マシン名(&M)", SetCheck, 0, 16, 104, 200, 17},
    {IDC_SET_LABEL7, 3, "STATIC", "ログファイルに記録する項目の区切り文字を指定(&S)：", SetMnemonicLabel, 0, 8, 136, 0, 0},
    {IDC_SET_RBSEPARATORCOMMA, 3, "BUTTON", "カンマ(&C)", SetFirstRadio, 0, 16, 160, 75, 17},
    {IDC_SET_RBSEPARATORDEF, 3, "BUTTON", "ハイフン(&H)", SetRadio, 0, 96, 160, 80, 17},
    {IDC_SET_RBSEPARATORTAB, 3, "BUTTON", "タブ(&T)", SetRadio, 0, 184, 160, 75, 17},
    {IDC_SET_RBSEPARATOROTHER, 3, "BUTTON", "任意(&U)：", SetRadio, 0, 16, 184, 63, 17},
    {IDC_SET_EDITSEPARATORUSER, 3, "EDIT", "", SetEdit, WS_EX_CLIENTEDGE, 80, 183, 60, 20},
    // Beside the fields, row by row; last in the tab order, so the fields' order stays.
    {IDC_SET_LABEL11, 3, "STATIC", "その他に記録する出来事を選択：", SetLabel, 0, 232, 8, 0, 0},
    {IDC_SET_CBLOCK, 3, "BUTTON", "ロック/ロック解除(&K)", SetCheck, 0, 240, 32, 176, 17},
    {IDC_SET_CBSLEEP, 3, "BUTTON", "スリープ/復帰(&P)", SetCheck, 0, 240, 56, 176, 17},
    {IDC_SET_CBREMOTE, 3, "BUTTON", "リモート接続/切断(&O)", SetCheck, 0, 240, 80, 176, 17},
    {IDC_SET_CBENDREASON, 3, "BUTTON", "ログオフ時の終了理由(&E)", SetCheck, 0, 240, 104, 176, 17},
};

} // namespace zentrok::layout
