#include "DialogDriver.h"

#include <commctrl.h>

#include "ControlIds.h"
#include "SettingIds.h"

namespace e2e {

namespace {
LRESULT Ask(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0)
{
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &answer);
    return static_cast<LRESULT>(answer);
}

struct ById {
    int id;
    HWND found;
};

BOOL CALLBACK MatchId(HWND hwnd, LPARAM lp)
{
    auto* search = reinterpret_cast<ById*>(lp);
    if (GetDlgCtrlID(hwnd) != search->id) return TRUE;
    search->found = hwnd;
    return FALSE;
}
} // namespace

SettingsDialog::SettingsDialog(const Program& zentrok) : zentrok_(zentrok)
{
    PostMessageA(zentrok.Control(IDC_MAIN_BTNSETTING), BM_CLICK, 0, 0);
    WaitUntil([&] { return (dialog_ = FindWindowOf(zentrok.Pid(), ZENTROK_SETTING_CLASS, true)) != nullptr; }, 5000);
}

HWND SettingsDialog::Control(int id) const
{
    ById search{id, nullptr};
    EnumChildWindows(dialog_, MatchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string SettingsDialog::Text(int id) const { return e2e::Text(Control(id)); }

void SettingsDialog::SetText(int id, const std::string& text) const
{
    Ask(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool SettingsDialog::Checked(int id) const { return Ask(Control(id), BM_GETCHECK) == BST_CHECKED; }

void SettingsDialog::Click(int id) const { Ask(Control(id), BM_CLICK); }

void SettingsDialog::PostClick(int id) const { PostMessageA(Control(id), BM_CLICK, 0, 0); }

int SettingsDialog::Page() const { return static_cast<int>(Ask(Control(IDC_SET_PAGECONTROL), TCM_GETCURSEL)); }

void SettingsDialog::TurnTo(int page) const { Ask(Control(IDC_SET_PAGECONTROL), TCM_SETCURFOCUS, page); }

HWND SettingsDialog::Focus() const { return ThreadInfo(dialog_).hwndFocus; }

void SettingsDialog::FocusOn(int id) const
{
    PostMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(id)), TRUE);
    WaitUntil([&] { return Focus() == Control(id); }, 2000);
}

void SettingsDialog::Key(UINT vk) const { PostMessageA(Focus(), WM_KEYDOWN, vk, 1); }

void SettingsDialog::AltKey(char letter) const
{
    constexpr LPARAM AltDown = 1 << 29;
    PostMessageA(Focus(), WM_SYSCHAR, static_cast<unsigned char>(letter), AltDown | 1);
}

bool SettingsDialog::WaitClosed(DWORD ms) const
{
    if (!WaitUntil([&] { return !IsWindow(dialog_); }, ms)) return false;
    // Answered only once the settings command, saving included, has returned.
    return zentrok_.Send(zentrok_.MainWindow(), WM_NULL).has_value();
}

std::string IniValue(const TempFolder& folder, const char* section, const char* key)
{
    char value[2048] = "";
    GetPrivateProfileStringA(section, key, "(absent)", value, sizeof value, (folder / "Zentrok.ini").c_str());
    return value;
}

} // namespace e2e
