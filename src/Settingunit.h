// The settings dialog.
#pragma once
#include <windows.h>

class TFormSet {
public:
    explicit TFormSet(HWND owner);
    // Runs the dialog modally: 1 (OK) after the values went into the main window, else 2.
    int ShowModal();

private:
    HWND owner_;
};
