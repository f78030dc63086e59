#include "Application.h"

#include <vector>

#include "Error.h"

namespace zentrok {

namespace {
constexpr char ClassName[] = "ZentrokApplication";
constexpr UINT WM_APP_DEACTIVATE = WM_APP + 1;
} // namespace

Application::Application()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(wc.hInstance, "MAINICON");
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = ClassName;
    RegisterClassA(&wc);
    // Zero-sized and never shown, so the program has no taskbar button.
    window_.Reset(CreateWindowExA(0, ClassName, "", WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                  GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                                  nullptr, wc.hInstance, nullptr));
    if (!window_) throw ZentrokError("application window: " + std::to_string(GetLastError()));
    SetWindowLongPtrA(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Application::SetTitle(const std::string& title)
{
    title_ = title;
    SetWindowTextA(window_.Get(), title.c_str());
}

void Application::Run()
{
    MSG msg;
    while (!terminated_) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) break;
        if (PreTranslate && PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    terminated_ = true;
}

void Application::Terminate()
{
    terminated_ = true;
    PostQuitMessage(0);  // wakes the loop, which may be waiting in GetMessage
}

namespace {
// The application's enabled top-level windows below root, kept disabled while the box shows:
// a click on the status window or the settings dialog could otherwise run a command inside
// the box's loop.
class ApplicationModal {
public:
    explicit ApplicationModal(HWND root) : root_(root), active_(GetActiveWindow())
    {
        if (root_) EnumThreadWindows(GetCurrentThreadId(), Disable, reinterpret_cast<LPARAM>(this));
    }
    ~ApplicationModal()
    {
        for (HWND w : disabled_)
            if (IsWindow(w)) EnableWindow(w, TRUE);
        // Back to where the user was (each window puts its focus back itself), but never to a
        // window hidden in the meantime.
        if (active_ && IsWindow(active_) && IsWindowVisible(active_)) SetActiveWindow(active_);
    }
    ApplicationModal(const ApplicationModal&) = delete;
    ApplicationModal& operator=(const ApplicationModal&) = delete;

private:
    static BOOL CALLBACK Disable(HWND w, LPARAM self)
    {
        auto* scope = reinterpret_cast<ApplicationModal*>(self);
        // The box disables its owner itself.
        if (w != scope->root_ && GetAncestor(w, GA_ROOTOWNER) == scope->root_ && IsWindowEnabled(w)) {
            EnableWindow(w, FALSE);
            scope->disabled_.push_back(w);
        }
        return TRUE;
    }

    HWND root_, active_;
    std::vector<HWND> disabled_;
};
} // namespace

void ShowErrorBox(HWND owner, const std::string& title, const std::exception& e)
{
    const ApplicationModal scope(owner ? GetAncestor(owner, GA_ROOTOWNER) : nullptr);
    MessageBoxA(owner, ErrorBoxText(e.what()).c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

void Application::ShowException(const std::exception& e) const { ShowErrorBox(window_.Get(), title_, e); }

LRESULT CALLBACK Application::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<Application*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    return self->HandleMessage(msg, wp, lp);
}

LRESULT Application::HandleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CLOSE:
        if (CloseMainForm) Guard(CloseMainForm);
        return 0;
    case WM_ENDSESSION:
        if (wp) Terminate();
        return 0;
    case WM_ACTIVATEAPP:
        active_ = wp != FALSE;
        if (!wp) PostMessageA(window_.Get(), WM_APP_DEACTIVATE, 0, 0);
        break;
    case WM_APP_DEACTIVATE:
        // The notice may come after the user brought a window back (OK and a double
        // click on the icon at once): only a deactivation that still holds hides.
        if (!active_ && OnDeactivate) Guard(OnDeactivate);
        return 0;
    }
    return DefWindowProcA(window_.Get(), msg, wp, lp);
}

} // namespace zentrok
