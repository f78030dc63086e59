#include "SessionNotice.h"

#include <wtsapi32.h>

namespace zentrok {

namespace {
using RegisterFunction = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterFunction = BOOL(WINAPI*)(HWND);
} // namespace

bool SessionNotice::Register(HWND window)
{
    if (window_) return true;
    if (!library_) library_.Reset(LoadLibraryA("wtsapi32.dll"));
    if (!library_) return false;
    const auto registerFor = LibraryFunction<RegisterFunction>(library_.Get(), "WTSRegisterSessionNotification");
    if (!registerFor || !registerFor(window, NOTIFY_FOR_THIS_SESSION)) return false;
    window_ = window;
    return true;
}

SessionNotice::~SessionNotice()
{
    if (!window_) return;
    if (const auto unregister = LibraryFunction<UnregisterFunction>(library_.Get(), "WTSUnRegisterSessionNotification"))
        unregister(window_);
}

} // namespace zentrok
