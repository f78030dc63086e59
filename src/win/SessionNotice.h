// Session-change notices (lock, unlock, remote connect and disconnect) for one window.
// wtsapi32 is loaded when they are first wanted, so the program also starts where it is missing.
#pragma once
#include <windows.h>

#include "Handles.h"

namespace zentrok {

class SessionNotice {
public:
    SessionNotice() = default;
    ~SessionNotice();
    SessionNotice(const SessionNotice&) = delete;
    SessionNotice& operator=(const SessionNotice&) = delete;

    // Asks for WM_WTSSESSION_CHANGE at window, once; false where the system can't send it.
    bool Register(HWND window);
    bool Registered() const { return window_ != nullptr; }

private:
    ModuleHandle library_;
    HWND window_ = nullptr;
};

} // namespace zentrok
