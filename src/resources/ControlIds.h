// Control and command ids, shared with the tests that find the controls.
#pragma once

// Status window
#define IDC_MAIN_LABELLOGGED 101
#define IDC_MAIN_LABELNOW 102
#define IDC_MAIN_LABELTOTAL 103
#define IDC_MAIN_BEVEL1 104
#define IDC_MAIN_LABELLOGSIZE 105
#define IDC_MAIN_LABELMISSING 106  // shown only after a run that left no logoff line
#define IDC_MAIN_LABELUNWRITTEN 107  // shown only while lines wait to be written
#define IDC_MAIN_LABELUNSENT 108  // shown only while records wait to be sent
#define IDC_MAIN_BTNOK 1  // IDOK: Enter on the dialog presses it
#define IDC_MAIN_BTNLOG 110
#define IDC_MAIN_BTNCLOSE 111
#define IDC_MAIN_BTNSETTING 112

// Its context menu
#define IDM_POPUP_CLOSE 201
#define IDM_POPUP_VIEW 202
#define IDM_POPUP_OPENLOG 203
#define IDM_POPUP_SETTING 204
#define IDM_POPUP_EXIT 205

// The timer that tries kept lines and unsent messages again, while there are any
#define ZENTROK_RETRY_TIMER 1

// Window classes
#define ZENTROK_MAIN_CLASS "TMainForm"
#define ZENTROK_APP_CLASS "ZentrokApplication"
