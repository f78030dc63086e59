// Opens the settings dialog of a running Zentrok and works its controls from outside.
#pragma once
#include <windows.h>

#include <string>

#include "Driver.h"

namespace e2e {

class SettingsDialog {
public:
    // Runs the status window's settings command and waits for the dialog.
    explicit SettingsDialog(const Program& zentrok);

    HWND Handle() const { return dialog_; }
    bool Open() const { return dialog_ && IsWindow(dialog_) && IsWindowVisible(dialog_); }
    HWND Control(int id) const;  // at any depth below the dialog
    std::string Text(int id) const;
    void SetText(int id, const std::string& text) const;
    bool Checked(int id) const;
    void Click(int id) const;  // as a mouse click, so the focus moves first
    // Clicks without waiting for the click to be handled: for one that opens a box.
    void PostClick(int id) const;
    int Page() const;          // 0 to 2
    void TurnTo(int page) const;  // as a click on the page's tab
    HWND Focus() const;
    // Focus to a control and a key press there, as the dialog's message loop sees them.
    void FocusOn(int id) const;
    void Key(UINT vk) const;
    void AltKey(char letter) const;
    // Waits until the dialog has closed and the program has finished with it.
    bool WaitClosed(DWORD ms = 5000) const;

private:
    const Program& zentrok_;
    HWND dialog_ = nullptr;
};

// A key's text in Zentrok.ini.
std::string IniValue(const TempFolder& folder, const char* section, const char* key);

} // namespace e2e
