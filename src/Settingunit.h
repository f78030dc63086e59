// The settings dialog: three pages over the main window's settings.
#pragma once
#include <windows.h>

#include <exception>
#include <optional>
#include <string>

#include "Handles.h"
#include "SettingChecks.h"

class TFormSet {
public:
    // Builds the window and its controls, hidden, on the first page.
    explicit TFormSet(HWND owner);
    TFormSet(const TFormSet&) = delete;
    TFormSet& operator=(const TFormSet&) = delete;

    // Runs the dialog modally: 1 (OK) after the values went into the main window, else 2.
    // An error raised inside it closes it and passes on from here.
    int ShowModal();

private:
    void EndModal(int result);
    void FormShow();
    void BtnOkClick();
    void BtnSaveFolderClick();
    void EditSaveFolderExit();
    void BtnDefFileNameClick();
    bool CheckSaveFolder();
    bool CheckFileName();
    bool CheckLogItems();

    void BuildWindow();
    void AddControl(int id, HWND parent);
    void PlacePageControls();
    void DpiChanged(int dpi, const RECT& suggested);
    void AddPages();
    void Relayout(int clientWidth, int clientHeight);
    void ShowPage(int index);
    void SelectPage(int index);  // as the user does: the page and its first control
    void TurnPage(int index);
    bool SwitchPageKey(const MSG& msg);
    bool TabKey(const MSG& msg);
    bool Passes(const std::optional<zentrok::CheckFailure>& failure);
    zentrok::SettingEntries ReadEntries() const;

    HWND Item(int id) const;
    void Focus(int id);
    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    bool Checked(int id) const;
    void SetChecked(int id, bool on);

    // 1 for the first of ids that is checked, 2 for the second, and so on; 0 when none is.
    template <std::size_t N>
    int FirstChecked(const int (&ids)[N]) const
    {
        for (std::size_t i = 0; i < N; ++i)
            if (Checked(ids[i])) return static_cast<int>(i) + 1;
        return 0;
    }
    // Checks the position-th of ids (counted from 1) and clears the others.
    template <std::size_t N>
    void CheckOnly(const int (&ids)[N], int position)
    {
        for (std::size_t i = 0; i < N; ++i) SetChecked(ids[i], static_cast<int>(i) + 1 == position);
    }

    void Command(int id, int code);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    HWND owner_;
    int modalResult_ = 0;
    int dpi_ = 0;  // the layout's current scale
    std::exception_ptr error_;
    zentrok::FontHandle font_;
    zentrok::WindowHandle window_;  // after font_: the controls go before their font
};
