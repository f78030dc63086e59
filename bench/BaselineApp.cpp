// The least a resident tray program does at start, the baseline of the start-up,
// resident and session-end figures: one window, one line flushed to a file, one icon.
#include <windows.h>
#include <shellapi.h>

#include "Handles.h"

namespace {
constexpr char ClassName[] = "ZentrokBaseline";
constexpr char Line[] = "LOGON  - user01 - 2026/12/06 09:05:03. - PC01\r\n";

NOTIFYICONDATAA Icon(HWND hwnd)
{
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
    nid.hWnd = hwnd;
    return nid;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DESTROY) {
        NOTIFYICONDATAA nid = Icon(hwnd);
        Shell_NotifyIconA(NIM_DELETE, &nid);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = ClassName;
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, ClassName, "Baseline", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;

    zentrok::FileHandle file(CreateFileA("Baseline.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.Get(), Line, sizeof Line - 1, &written, nullptr) || !FlushFileBuffers(file.Get()))
        return 1;
    file.Close();

    NOTIFYICONDATAA nid = Icon(window);
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = RegisterWindowMessageA("IconNotify");
    nid.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpyA(nid.szTip, "Baseline");
    Shell_NotifyIconA(NIM_ADD, &nid);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
