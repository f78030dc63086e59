// The application object: a hidden top-level window that owns the main window
// and the error box, the message loop, and the one place errors are shown.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "Handles.h"

namespace zentrok {

// A modal box with the error icon showing the error's message.
void ShowErrorBox(HWND owner, const std::string& title, const std::exception& e);

class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    HWND Handle() const { return window_.Get(); }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);
    int HintPause = 0;          // ms before a control's hint shows

    // Closing the application window closes the main window.
    std::function<void()> CloseMainForm;
    // Fired a moment after another application became active, if it still is.
    std::function<void()> OnDeactivate;
    // Handles a message for the main window's dialog navigation and shortcuts.
    std::function<bool(MSG&)> PreTranslate;

    // Takes and dispatches messages until Terminate() or the quit message.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // The error box: the error's message, owned by the application window.
    void ShowException(const std::exception& e) const;

    // Runs a handler and shows whatever it raises in the error box.
    template <typename F>
    void Guard(F&& handler) const
    {
        try {
            handler();
        } catch (const std::exception& e) {
            ShowException(e);
        }
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    WindowHandle window_;
    std::string title_;
    bool terminated_ = false;
    bool active_ = false;  // as the last WM_ACTIVATEAPP said
};

} // namespace zentrok
