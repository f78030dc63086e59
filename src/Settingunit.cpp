#include "Settingunit.h"

#include <commctrl.h>
#include <shlobj.h>

#include <iterator>
#include <memory>

#include "Dpi.h"
#include "Error.h"
#include "GlyphButton.h"
#include "Mainunit.h"
#include "SettingLayout.h"
#include "WinSystem.h"

using namespace zentrok;

namespace {
constexpr char PanelClass[] = "TFormSetPanel";
constexpr char BrowseTitle[] = "開きたいフォルダを選択して下さい。：";

// Radio groups in the order of the values they stand for.
constexpr int NameKindButtons[] = {IDC_SET_RBNAMEKIND1, IDC_SET_RBNAMEKIND2, IDC_SET_RBNAMEKIND3,
                                   IDC_SET_RBNAMEKIND4};
constexpr int DateKindButtons[] = {IDC_SET_RGDATEKIND1, IDC_SET_RGDATEKIND2, IDC_SET_RGDATEKIND3};
constexpr int SeparatorButtons[] = {IDC_SET_RBSEPARATORCOMMA, IDC_SET_RBSEPARATORDEF, IDC_SET_RBSEPARATORTAB,
                                    IDC_SET_RBSEPARATOROTHER};

// The extra records' check boxes and the switches they stand for.
struct EventCheck {
    int id;
    bool EventSwitches::*value;
};
constexpr EventCheck EventChecks[] = {{IDC_SET_CBLOCK, &EventSwitches::Lock},
                                      {IDC_SET_CBSLEEP, &EventSwitches::Sleep},
                                      {IDC_SET_CBREMOTE, &EventSwitches::Remote},
                                      {IDC_SET_CBENDREASON, &EventSwitches::EndReason}};

const layout::SetControl& Row(int id)
{
    for (const layout::SetControl& c : layout::SetControls)
        if (c.id == id) return c;
    throw ZentrokError("settings dialog: no control " + std::to_string(id));
}

int FieldControl(SettingField field)
{
    switch (field) {
    case SettingField::SaveFolder: return IDC_SET_EDITSAVEFOLDER;
    case SettingField::FileName: return IDC_SET_EDITFILENAMESTRING;
    case SettingField::SeparatorUser: return IDC_SET_EDITSEPARATORUSER;
    case SettingField::LogOnOff: break;
    }
    return IDC_SET_CBLOGONOFF;
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// ---- the shell's folder browser ----

struct ReleaseMalloc {
    void operator()(IMalloc* allocator) const { allocator->Release(); }
};
using ShellAllocator = std::unique_ptr<IMalloc, ReleaseMalloc>;

struct FreeThrough {
    IMalloc* allocator;
    void operator()(ITEMIDLIST* id) const { allocator->Free(id); }
};
using ShellItem = std::unique_ptr<ITEMIDLIST, FreeThrough>;

// The shell's browser needs COM in a single-threaded apartment on the calling thread.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(result_)) CoUninitialize();  // S_FALSE too: each success is paired
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

// The file-system folder the user picks below the computer's drives, or nothing.
std::optional<std::string> BrowseForFolder(HWND owner)
{
    const ComApartment com;
    IMalloc* rawAllocator = nullptr;
    if (FAILED(SHGetMalloc(&rawAllocator))) return std::nullopt;
    const ShellAllocator allocator(rawAllocator);
    LPITEMIDLIST rawDrives = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &rawDrives))) return std::nullopt;
    const ShellItem drives(rawDrives, FreeThrough{rawAllocator});

    char displayName[MAX_PATH] = "";
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pidlRoot = drives.get();
    info.pszDisplayName = displayName;
    info.lpszTitle = BrowseTitle;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const ShellItem chosen(SHBrowseForFolderA(&info), FreeThrough{rawAllocator});
    char path[MAX_PATH] = "";
    if (!chosen || !SHGetPathFromIDListA(chosen.get(), path)) return std::nullopt;
    return std::string(path);
}

// ---- pieces of the window ----

// Keeps the whole application out of reach while the dialog runs.
class ModalScope {
public:
    ModalScope(HWND owner, HWND dialog) : owner_(owner), app_(GetWindow(owner, GW_OWNER)), dialog_(dialog)
    {
        EnableWindow(owner_, FALSE);
        if (app_) EnableWindow(app_, FALSE);
    }
    ~ModalScope()
    {
        // Enabled before the dialog goes, so the activation returns to the owner.
        if (app_) EnableWindow(app_, TRUE);
        EnableWindow(owner_, TRUE);
        ShowWindow(dialog_, SW_HIDE);
        // A status window hidden meanwhile stays inactive: it would take the keys unseen.
        if (IsWindowVisible(owner_)) SetActiveWindow(owner_);
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    HWND owner_, app_, dialog_;
};

// A page's panel: a lowered bevel around its controls, whose commands it hands to the dialog.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND: return SendMessageA(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Label7 shows a mnemonic that leads nowhere: the dialog's mnemonic search passes over it.
LRESULT CALLBACK NoMnemonicTarget(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR)
{
    if (msg == WM_GETDLGCODE) return 0;
    return DefSubclassProc(hwnd, msg, wp, lp);
}

void RegisterClasses(HINSTANCE instance, WNDPROC dialogProc)
{
    WNDCLASSA wc{};
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = PanelProc;
    wc.lpszClassName = PanelClass;
    RegisterClassA(&wc);
    // The dialog manager's window procedure gives the usual keyboard handling and focus memory.
    wc.lpfnWndProc = dialogProc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hIcon = LoadIconA(instance, "MAINICON");
    wc.lpszClassName = ZENTROK_SETTING_CLASS;
    RegisterClassA(&wc);
}
} // namespace

// ---- construction ----

TFormSet::TFormSet(HWND owner) : owner_(owner) { BuildWindow(); }

void TFormSet::BuildWindow()
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterClasses(instance, WindowProc);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                        WS_CLIPCHILDREN;
    // On the status window's screen, at its dpi.
    dpi_ = WindowDpi(owner_);
    window_.Reset(CreateWindowExA(0, ZENTROK_SETTING_CLASS, layout::SetCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  Scaled(layout::SetWindowWidth, dpi_), Scaled(layout::SetWindowHeight, dpi_),
                                  owner_, nullptr, instance, this));
    if (!window_) throw ZentrokError("settings dialog: " + std::to_string(GetLastError()));
    SetLayoutFont(window_.Get(), font_, layout::SetFontFace, layout::SetFontHeight, dpi_);

    // The window's own controls first: the pages' panels live in the tab control.
    for (const layout::SetControl& c : layout::SetControls)
        if (c.page == 0) AddControl(c.id, window_.Get());
    AddPages();
    for (const layout::SetControl& c : layout::SetControls)
        if (c.page != 0) AddControl(c.id, Item(layout::SetPages[c.page - 1].panelId));
    PlacePageControls();
    SetWindowSubclass(Item(IDC_SET_LABEL7), NoMnemonicTarget, 0, 0);
    AttachGlyph(Item(IDC_SET_BTNOK), "GLYPH_OK");
    AttachGlyph(Item(IDC_SET_BITBTN2), "GLYPH_CANCEL");
    SendMessageA(window_.Get(), DM_SETDEFID, IDC_SET_BTNOK, 0);

    RECT client;
    GetClientRect(window_.Get(), &client);
    Relayout(client.right, client.bottom);
    ShowPage(0);
}

void TFormSet::AddControl(int id, HWND parent)
{
    const layout::SetControl& c = Row(id);
    HWND child = CreateWindowExA(c.exStyle, c.windowClass, c.text, c.style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), GetModuleHandleA(nullptr),
                                 nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
}

// The pages' controls at the dialog's scale; the window's own go with its size (Relayout).
void TFormSet::PlacePageControls()
{
    for (const layout::SetControl& c : layout::SetControls) {
        if (c.page == 0) continue;
        PlaceScaled(Item(c.id), c.left, c.top, c.width, c.height, dpi_);
        if (c.width == 0) SizeToText(Item(c.id), font_.Get());
    }
}

void TFormSet::DpiChanged(int dpi, const RECT& suggested)
{
    dpi_ = dpi;
    SetLayoutFont(window_.Get(), font_, layout::SetFontFace, layout::SetFontHeight, dpi);
    PlacePageControls();
    MoveToSuggested(window_.Get(), suggested);
    RECT client;
    GetClientRect(window_.Get(), &client);
    Relayout(client.right, client.bottom);  // also when the size stayed
}

void TFormSet::AddPages()
{
    HWND tab = Item(IDC_SET_PAGECONTROL);
    int index = 0;
    for (const layout::SetPage& page : layout::SetPages) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(page.caption);
        SendMessageA(tab, TCM_INSERTITEMA, index++, reinterpret_cast<LPARAM>(&item));
        CreateWindowExA(WS_EX_CONTROLPARENT, PanelClass, "", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, tab,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(page.panelId)), GetModuleHandleA(nullptr),
                        nullptr);
    }
}

void TFormSet::Relayout(int clientWidth, int clientHeight)
{
    const auto scaled = [this](int pixels) { return Scaled(pixels, dpi_); };
    const int dx = clientWidth - scaled(layout::SetClientWidth), dy = clientHeight - scaled(layout::SetClientHeight);
    for (const layout::SetControl& c : layout::SetControls) {
        if (c.page != 0) continue;
        // The tab control keeps all four sides' distances, the buttons their left and bottom ones.
        if (c.id == IDC_SET_PAGECONTROL)
            MoveWindow(Item(c.id), scaled(c.left), scaled(c.top), scaled(c.width) + dx, scaled(c.height) + dy, TRUE);
        else MoveWindow(Item(c.id), scaled(c.left), scaled(c.top) + dy, scaled(c.width), scaled(c.height), TRUE);
    }
    HWND tab = Item(IDC_SET_PAGECONTROL);
    RECT page;
    GetClientRect(tab, &page);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    for (const layout::SetPage& p : layout::SetPages)
        MoveWindow(Item(p.panelId), page.left, page.top, page.right - page.left, page.bottom - page.top, TRUE);
}

// ---- pages ----

void TFormSet::ShowPage(int index)
{
    SendMessageA(Item(IDC_SET_PAGECONTROL), TCM_SETCURSEL, index, 0);
    int i = 0;
    for (const layout::SetPage& p : layout::SetPages) ShowWindow(Item(p.panelId), i++ == index ? SW_SHOW : SW_HIDE);
}

void TFormSet::SelectPage(int index)
{
    ShowPage(index);
    HWND panel = Item(layout::SetPages[index].panelId);
    if (HWND first = GetNextDlgTabItem(panel, nullptr, FALSE)) Focus(GetDlgCtrlID(first));
}

// A page turned while the focus is on the tab strip leaves it there (arrow keys); else the
// focus goes to the page, never staying on a control of a hidden one.
void TFormSet::TurnPage(int index)
{
    if (GetFocus() == Item(IDC_SET_PAGECONTROL)) ShowPage(index);
    else SelectPage(index);
}

// Ctrl+Tab and Ctrl+Shift+Tab turn the pages from anywhere in the dialog.
bool TFormSet::SwitchPageKey(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0) return false;
    if (msg.hwnd != window_.Get() && !IsChild(window_.Get(), msg.hwnd)) return false;
    constexpr int count = std::size(layout::SetPages);
    const int current = static_cast<int>(SendMessageA(Item(IDC_SET_PAGECONTROL), TCM_GETCURSEL, 0, 0));
    TurnPage((current + (GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1)) % count);
    return true;
}

// The dialog manager passes over the tab strip, a control parent holding the pages: Tab and
// Shift+Tab stop on it between the last control of the dialog and the first of the page.
bool TFormSet::TabKey(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || GetKeyState(VK_CONTROL) < 0) return false;
    HWND w = window_.Get(), strip = Item(IDC_SET_PAGECONTROL), focus = GetFocus();
    if (msg.hwnd != w && !IsChild(w, msg.hwnd)) return false;
    const bool back = GetKeyState(VK_SHIFT) < 0;
    const int page = static_cast<int>(SendMessageA(strip, TCM_GETCURSEL, 0, 0));
    HWND first = GetNextDlgTabItem(Item(layout::SetPages[page].panelId), nullptr, FALSE);
    HWND next;
    if (focus == strip) {
        next = back ? GetNextDlgTabItem(w, first ? first : strip, TRUE) : first ? first : GetNextDlgTabItem(w, strip, FALSE);
    } else {
        next = GetNextDlgTabItem(w, focus, back);
        // Leaving the page backwards, or entering it from the end: the strip comes between.
        if (IsChild(strip, focus) != IsChild(strip, next) && (back ? IsChild(strip, focus) : IsChild(strip, next)))
            next = strip;
    }
    if (next) SendMessageA(w, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    return true;
}

// ---- the modal run ----

int TFormSet::ShowModal()
{
    FormShow();
    RECT r;
    GetWindowRect(window_.Get(), &r);
    SetWindowPos(window_.Get(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    {
        ModalScope scope(owner_, window_.Get());
        ShowWindow(window_.Get(), SW_SHOW);
        SetForegroundWindow(window_.Get());
        Focus(IDC_SET_EDITSAVEFOLDER);
        while (modalResult_ == 0) {
            MSG msg;
            const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got <= 0) {
                // The application is ending: its loop must see the quit message too.
                if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
                modalResult_ = IDCANCEL;
                break;
            }
            if (SwitchPageKey(msg) || TabKey(msg) || IsDialogMessageA(window_.Get(), &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (error_) std::rethrow_exception(error_);
    return modalResult_;
}

void TFormSet::EndModal(int result)
{
    modalResult_ = result;
    // A sent message (a click from another program) is handled inside GetMessage, which
    // would go on waiting: a posted one lets the loop see the result now.
    PostMessageA(window_.Get(), WM_NULL, 0, 0);
}

// ---- handlers ----

void TFormSet::FormShow()
{
    const SettingEntries e = EntriesFromSettings(*MainForm);
    SetText(IDC_SET_EDITSAVEFOLDER, e.saveFolder);
    SetChecked(IDC_SET_CBKEEP, e.keep);
    CheckOnly(NameKindButtons, e.nameKind);
    CheckOnly(DateKindButtons, e.nameDate);
    SetText(IDC_SET_EDITFILENAMESTRING, e.fileName);
    SetChecked(IDC_SET_CBLOGONOFF, e.logItems.LogOnOff);
    SetChecked(IDC_SET_CBUSERNAME, e.logItems.LogUserName);
    SetChecked(IDC_SET_CBDATE, e.logItems.LogDate);
    SetChecked(IDC_SET_CBMACHINENAME, e.logItems.LogMachineName);
    CheckOnly(SeparatorButtons, static_cast<int>(e.separator) + 1);
    SetText(IDC_SET_EDITSEPARATORUSER, e.separatorUser);
    for (const EventCheck& c : EventChecks) SetChecked(c.id, e.events.*c.value);
}

SettingEntries TFormSet::ReadEntries() const
{
    SettingEntries e;
    e.saveFolder = Text(IDC_SET_EDITSAVEFOLDER);
    e.keep = Checked(IDC_SET_CBKEEP);
    e.nameKind = FirstChecked(NameKindButtons);
    e.nameDate = FirstChecked(DateKindButtons);
    e.fileName = Text(IDC_SET_EDITFILENAMESTRING);
    e.logItems.LogOnOff = Checked(IDC_SET_CBLOGONOFF);
    e.logItems.LogUserName = Checked(IDC_SET_CBUSERNAME);
    e.logItems.LogDate = Checked(IDC_SET_CBDATE);
    e.logItems.LogMachineName = Checked(IDC_SET_CBMACHINENAME);
    const int separator = FirstChecked(SeparatorButtons);
    e.separator = separator == 0 ? SeparatorChoice::Other : static_cast<SeparatorChoice>(separator - 1);
    e.separatorUser = Text(IDC_SET_EDITSEPARATORUSER);
    for (const EventCheck& c : EventChecks) e.events.*c.value = Checked(c.id);
    return e;
}

void TFormSet::BtnOkClick()
{
    // Completed here too, so that a folder confirmed with Enter in its field gets its "\" as well.
    EditSaveFolderExit();
    if (!CheckSaveFolder() || !CheckFileName() || !CheckLogItems()) return;
    StoreEntries(ReadEntries(), *MainForm);
    EndModal(IDOK);
}

bool TFormSet::CheckSaveFolder() { return Passes(zentrok::CheckSaveFolder(ReadEntries(), IsFolder)); }

bool TFormSet::CheckFileName() { return Passes(zentrok::CheckFileName(ReadEntries())); }

bool TFormSet::CheckLogItems() { return Passes(zentrok::CheckLogItems(ReadEntries())); }

bool TFormSet::Passes(const std::optional<CheckFailure>& failure)
{
    if (!failure) return true;
    MessageBoxA(window_.Get(), failure->text.c_str(), failure->caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    const int id = FieldControl(failure->field);
    ShowPage(Row(id).page - 1);
    Focus(id);
    return false;
}

void TFormSet::BtnSaveFolderClick()
{
    if (const std::optional<std::string> folder = BrowseForFolder(window_.Get())) SetText(IDC_SET_EDITSAVEFOLDER, *folder);
    Focus(IDC_SET_EDITSAVEFOLDER);
}

void TFormSet::EditSaveFolderExit()
{
    const std::string text = Text(IDC_SET_EDITSAVEFOLDER);
    const std::string completed = CompleteSaveFolder(text, ProgramFolder(ExeFileName()));
    if (completed != text) SetText(IDC_SET_EDITSAVEFOLDER, completed);
}

void TFormSet::BtnDefFileNameClick()
{
    SetText(IDC_SET_EDITFILENAMESTRING, DefaultLogName);
    Focus(IDC_SET_EDITFILENAMESTRING);
}

// ---- controls ----

HWND TFormSet::Item(int id) const
{
    for (const layout::SetPage& p : layout::SetPages)
        if (p.panelId == id) return GetDlgItem(GetDlgItem(window_.Get(), IDC_SET_PAGECONTROL), id);
    const int page = Row(id).page;
    return GetDlgItem(page == 0 ? window_.Get() : Item(layout::SetPages[page - 1].panelId), id);
}

void TFormSet::Focus(int id)
{
    // As the dialog manager moves it: an edit's text is selected, the default button follows.
    SendMessageA(window_.Get(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

std::string TFormSet::Text(int id) const
{
    HWND control = Item(id);
    std::string text(GetWindowTextLengthA(control) + 1, '\0');
    text.resize(GetWindowTextA(control, text.data(), static_cast<int>(text.size())));
    return text;
}

void TFormSet::SetText(int id, const std::string& text) { SetWindowTextA(Item(id), text.c_str()); }

bool TFormSet::Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TFormSet::SetChecked(int id, bool on) { SendMessageA(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

// ---- messages ----

void TFormSet::Command(int id, int code)
{
    switch (id) {
    case IDC_SET_BTNOK: if (code == BN_CLICKED) BtnOkClick(); break;
    case IDC_SET_BITBTN2: if (code == BN_CLICKED) EndModal(IDCANCEL); break;
    case IDC_SET_BTNSAVEFOLDER: if (code == BN_CLICKED) BtnSaveFolderClick(); break;
    case IDC_SET_BTNDEFFILENAME: if (code == BN_CLICKED) BtnDefFileNameClick(); break;
    case IDC_SET_EDITSAVEFOLDER: if (code == EN_KILLFOCUS) EditSaveFolderExit(); break;
    }
}

LRESULT CALLBACK TFormSet::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TFormSet*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || !self->window_ || msg == WM_DESTROY) {
        if (msg == WM_DESTROY) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        return DefDlgProcA(hwnd, msg, wp, lp);
    }
    try {
        return self->HandleMessage(msg, wp, lp);
    } catch (...) {
        // No error may cross the system's dispatch: it ends the dialog and ShowModal raises it again.
        self->error_ = std::current_exception();
        self->EndModal(IDCANCEL);
        return 0;
    }
}

LRESULT TFormSet::HandleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    HWND w = window_.Get();
    switch (msg) {
    case WM_COMMAND: Command(LOWORD(wp), HIWORD(wp)); return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (header->idFrom == IDC_SET_PAGECONTROL && header->code == TCN_SELCHANGE)
            TurnPage(static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    case WM_DPICHANGED: DpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp)); return 0;
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED) Relayout(LOWORD(lp), HIWORD(lp));
        return 0;
    }
    return DefDlgProcA(w, msg, wp, lp);
}
