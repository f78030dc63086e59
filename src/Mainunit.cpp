#include "Mainunit.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>
#include <wtsapi32.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "CommandLine.h"
#include "DateTime.h"
#include "Dpi.h"
#include "Error.h"
#include "GlyphButton.h"
#include "LogFile.h"
#include "LogHead.h"
#include "MainLayout.h"
#include "Naming.h"
#include "Record.h"
#include "Settingunit.h"
#include "StatusText.h"
#include "WinProfile.h"

using namespace zentrok;

TMainForm* MainForm = nullptr;

namespace {
// Shows a notice's failed write after the notice was answered.
constexpr UINT WM_APP_EVENTERROR = WM_APP + 20;
// How often the kept lines and messages are tried again while there are any.
constexpr UINT RetryMs = 60000;
// Everything the session end does, log line first, within Windows' 5 s for an answer.
constexpr std::uint32_t SessionEndMs = 4000;

SessionChange SessionChangeOf(WPARAM code)
{
    switch (code) {
    case WTS_SESSION_LOCK: return SessionChange::Lock;
    case WTS_SESSION_UNLOCK: return SessionChange::Unlock;
    case WTS_REMOTE_CONNECT: return SessionChange::RemoteConnect;
    case WTS_REMOTE_DISCONNECT: return SessionChange::RemoteDisconnect;
    }
    return SessionChange::Other;
}

PowerNotice PowerNoticeOf(WPARAM event)
{
    switch (event) {
    case PBT_APMSUSPEND: return PowerNotice::Suspend;
    case PBT_APMRESUMEAUTOMATIC:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMECRITICAL: return PowerNotice::Resume;
    }
    return PowerNotice::Other;
}

// The tool over a button's place in the window, for when the button is disabled.
TOOLINFOA HintTool(HWND w, int id)
{
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = w;
    tool.uId = static_cast<UINT_PTR>(id);
    for (const layout::Control& c : layout::MainControls)
        if (c.id == id) tool.lpszText = const_cast<char*>(c.hint);
    HWND button = GetDlgItem(w, id);
    GetWindowRect(button, &tool.rect);
    MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&tool.rect), 2);
    return tool;
}
} // namespace

// The shell goes by these records' sizes: a wrong one loses the icon or the taskbar's edge.
#ifdef _WIN64
static_assert(NOTIFYICONDATAA_V2_SIZE == 504 && sizeof(APPBARDATA) == 48, "64-bit shell records");
#else
static_assert(NOTIFYICONDATAA_V2_SIZE == 488 && sizeof(APPBARDATA) == 36, "32-bit shell records");
#endif

TMainForm::TMainForm(Application& owner, std::string commandLine, const std::string& exeFileName)
    : app_(owner),
      commandLine_(std::move(commandLine)),
      programFolder_(ProgramFolder(exeFileName)),
      pending_(keptFiles_, programFolder_ + PendingFileName, IsPendingEntry),
      spool_(keptFiles_, programFolder_ + SpoolFileName),
      timeFormat_(ReadTimeFormat()),
      taskbarCreated_(RegisterWindowMessageA("TaskbarCreated"))
{
    BuildWindow();
    IniFile = programFolder_ + SettingsFileName;
    app_.CloseMainForm = [this] { Close(); };
    app_.PreTranslate = [this](MSG& msg) { return PreTranslate(msg); };
    app_.Guard([this] { FormCreate(); });
}

TMainForm::~TMainForm()
{
    app_.CloseMainForm = nullptr;
    app_.PreTranslate = nullptr;
    app_.OnDeactivate = nullptr;
}

// ---- start and end of the session ----

void TMainForm::FormCreate()
{
    app_.OnDeactivate = [this] { BtnOkClick(); };
    if (IsProtectMode(commandLine_, system_)) SetProtected();
    MaxLines = LineCountFromCommandLine(commandLine_);
    LoadSettings();
    LogFile = Directory + MakeLogFileName();
    TrayMessage = RegisterWindowMessageA("IconNotify");
    const ClockReading start = system_.LocalTime();
    StartTime = TimeValue(start);
    StartDate = DateValue(start);
    SetLabel(IDC_MAIN_LABELLOGGED, "起動時刻: " + MakeDateTimeText());
    if (!Syslog.Server.empty()) {
        syslog_.emplace(Syslog);
        syslogHost_ = SyslogHostName(DnsHostName(), GetMachineName(system_));
    }
    // Before the check, so that a kept logoff line counts; also after Keep was turned off.
    // (The spool goes out with the logon line, first: one bounded send.)
    WritePending(std::nullopt, true);
    // Left from a run that forwarded: shown, but nothing here sends it.
    if (!syslog_)
        if (const std::optional<KeptCount> kept = spool_.Peek()) ShowKept(IDC_MAIN_LABELUNSENT, UnsentWhat, unsent_, *kept);
    CheckPreviousRun();
    {
        const DiskLogFile::Patience patient(files_);
        AddLogLine(MakeLogRecord(LogonWord));
    }
    AddTrayIcon();
    WatchSessionChanges();
}

// Before our own logon line: the newest line of the last run tells how it ended.
void TMainForm::CheckPreviousRun()
{
    const std::string head = ReadFileHead(LogFile, LogHeadBytes);
    if (!LogonWithoutLogoff(head, *this, Separator, GetLogonUserName(system_), GetMachineName(system_))) return;
    SetLabel(IDC_MAIN_LABELMISSING, layout::MissingLogoffText);
    ShowExtraRow(IDC_MAIN_LABELMISSING, true);
}

void TMainForm::FormCloseQuery(bool& canClose)
{
    std::string record = MakeLogRecord(LogoffWord);
    if (endByLogoff_ && Events.EndReason) {
        record = WithEndReason(record, Separator, *endByLogoff_);
        made_.reason = *endByLogoff_ ? LogoffReason : ShutdownReason;
    }
    AddLogLine(record);
    RemoveTrayIcon();
    canClose = true;
}

void TMainForm::BtnCloseClick() { Close(); }

void TMainForm::BtnOkClick() { ShowWindow(window_.Get(), SW_HIDE); }

void TMainForm::BtnLogClick()
{
    // A hand-edited settings file may name the log x.bat: show such a file, never run it.
    if (IsExecutableName(LogFile)) {
        const std::string quoted = "\"" + LogFile + "\"";
        ShellExecuteA(window_.Get(), "open", "notepad.exe", quoted.c_str(), nullptr, SW_SHOW);
        return;
    }
    ShellExecuteA(window_.Get(), "open", LogFile.c_str(), nullptr, nullptr, SW_SHOW);
}

void TMainForm::FormShow()
{
    HWND w = window_.Get();
    APPBARDATA bar{};
    bar.cbSize = sizeof bar;
    // A shell that can't tell where its taskbar is gets the usual corner.
    const int edge = SHAppBarMessage(ABM_GETTASKBARPOS, &bar) ? static_cast<int>(bar.uEdge) : EdgeBottom;
    RECT work{}, frame{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(w, &frame);
    if (const auto at = PlaceStatusWindow(edge, {work.left, work.top, work.right, work.bottom},
                                          frame.right - frame.left, frame.bottom - frame.top))
        SetWindowPos(w, nullptr, at->left, at->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    const ClockReading now = system_.LocalTime();
    SetLabel(IDC_MAIN_LABELNOW, "現在時刻: " + zentrok::MakeDateTimeText(now));
    SetLabel(IDC_MAIN_LABELTOTAL, RunningTimeText(StartDate + StartTime, DateValue(now) + TimeValue(now), timeFormat_));
    SetLabel(IDC_MAIN_LABELLOGSIZE, LogSizeText(FileSize(LogFile)));
    // Another copy sharing the folder may have kept or written lines meanwhile.
    if (const std::optional<KeptCount> kept = pending_.Peek()) ShowKept(IDC_MAIN_LABELUNWRITTEN, UnwrittenWhat, unwritten_, *kept);
    if (syslog_)
        if (const std::optional<KeptCount> kept = spool_.Peek()) ShowKept(IDC_MAIN_LABELUNSENT, UnsentWhat, unsent_, *kept);
    SetFocus(GetDlgItem(w, IDC_MAIN_BTNOK));
}

void TMainForm::BtnSettingClick()
{
    int result;
    {
        TFormSet dialog(window_.Get());  // released when it closes, also when an error passes
        result = dialog.ShowModal();
    }
    if (result == IDOK) {
        SaveSettings();
        WatchSessionChanges();  // a switch just turned on
    }
}

void TMainForm::Close()
{
    if (app_.Terminated()) return;  // a second close message on the way out writes nothing
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose) {
        ShowWindow(window_.Get(), SW_HIDE);
        app_.Terminate();
    }
}

LRESULT TMainForm::QueryEndSession(LPARAM reason)
{
    // Asked from inside a box or dialog after the program decided to end: the logoff line is written.
    if (app_.Terminated()) return TRUE;
    endByLogoff_ = (reason & ENDSESSION_LOGOFF) != 0;
    // What doesn't fit is held in memory, for the next try if the session goes on.
    const DiskLogFile::EndBy logBy(files_, SessionEndMs), keptBy(keptFiles_, SessionEndMs);
    std::optional<WinSyslog::EndBy> sendBy;
    if (syslog_) sendBy.emplace(*syslog_, SessionEndMs);
    try {
        bool canClose = true;
        FormCloseQuery(canClose);
        endByLogoff_.reset();
        return canClose ? TRUE : FALSE;
    } catch (const std::exception& e) {
        endByLogoff_.reset();
        app_.ShowException(e);
        return FALSE;
    }
}

// ---- lock, remote sessions, sleep ----

void TMainForm::WatchSessionChanges()
{
    // Where the system can't send them the lines are simply not written.
    if (Events.Lock || Events.Remote) sessionNotice_.Register(window_.Get());
}

void TMainForm::SessionChange(WPARAM code)
{
    if (const char* word = SessionChangeWord(SessionChangeOf(code), Events)) AddEventLine(word);
}

// Every top-level window gets the broadcast; only this one writes, so a wake is one line.
void TMainForm::PowerBroadcast(WPARAM event)
{
    if (const char* word = power_.Notice(PowerNoticeOf(event), Events)) AddEventLine(word);
}

// The line is on disk when the notice returns; the system may suspend right after it.
// A failure's box waits until then, so the answer is never held up by it.
void TMainForm::AddEventLine(const char* word)
{
    try {
        AddLogLine(MakeLogRecord(word));
    } catch (const std::exception&) {
        if (!eventError_) PostMessageA(window_.Get(), WM_APP_EVENTERROR, 0, 0);
        eventError_ = std::current_exception();
    }
}

void TMainForm::SetProtected()
{
    EnableMenuItem(popup_.Get(), IDM_POPUP_EXIT, MF_BYCOMMAND | MF_GRAYED);
    EnableWindow(GetDlgItem(window_.Get(), IDC_MAIN_BTNCLOSE), FALSE);
    EnableWindow(GetDlgItem(window_.Get(), IDC_MAIN_BTNSETTING), FALSE);
    EnableMenuItem(popup_.Get(), IDM_POPUP_SETTING, MF_BYCOMMAND | MF_GRAYED);
}

// ---- records, log file, naming, settings ----

std::string TMainForm::MakeDateTimeText() { return zentrok::MakeDateTimeText(system_.LocalTime()); }

std::string TMainForm::MakeLogRecord(const std::string& eventWord)
{
    made_ = {eventWord, system_.LocalTime(), nullptr};
    return zentrok::MakeLogRecord(eventWord, *this, Separator, system_, made_.at);
}

void TMainForm::AddLogLine(const std::string& line)
{
    std::exception_ptr failed;
    try {
        RefuseLogPath(LogFile);
        if (!Keep) zentrok::AddLogLine(files_, LogFile, line, MaxLines);
        // At the session end only the line's own log is tried: the answer can't wait for others.
        else WritePending(PendingLine{PendingTime(made_.at), LogFile, line}, !endByLogoff_);
    } catch (const ZentrokError&) {
        failed = std::current_exception();
    }
    Forward(line);  // also when the log failed: the collector then still has it
    if (failed) std::rethrow_exception(failed);
}

void TMainForm::WritePending(const std::optional<PendingLine>& fresh, bool everyLog)
{
    if (const std::optional<KeptCount> kept = WritePendingLines(files_, pending_, fresh, MaxLines, everyLog))
        ShowKept(IDC_MAIN_LABELUNWRITTEN, UnwrittenWhat, unwritten_, *kept);
}

void TMainForm::Forward(const std::optional<std::string>& line)
{
    if (!syslog_) return;
    std::optional<std::string> message;
    if (line) message = SyslogMessage(MakeSyslogRecord(*line));
    if (const std::optional<KeptCount> kept = ForwardMessages(*syslog_, spool_, message))
        ShowKept(IDC_MAIN_LABELUNSENT, UnsentWhat, unsent_, *kept);
}

SyslogRecord TMainForm::MakeSyslogRecord(const std::string& line)
{
    SyslogRecord r;
    r.at = made_.at;
    r.utcOffsetMinutes = UtcOffsetMinutes(made_.at);
    r.host = syslogHost_;
    r.processId = GetCurrentProcessId();
    r.word = made_.word;
    r.eventField = LogOnOff;
    if (LogUserName) r.user = AnsiToUtf8(GetLogonUserName(system_));
    if (LogMachineName) r.computer = AnsiToUtf8(GetMachineName(system_));
    if (made_.reason) r.reason = AnsiToUtf8(made_.reason);
    r.line = AnsiToUtf8(line);
    return r;
}

void TMainForm::RetryKept()
{
    WritePending(std::nullopt, true);
    Forward(std::nullopt);
}

// A line of the status window, the tip and the retry timer follow a count; lines
// that can't be read, and a spool nothing here sends, are shown but never retried.
void TMainForm::ShowKept(int id, const char* what, KeptCount& shown, const KeptCount& kept)
{
    const auto retried = [this] { return !unwritten_.Settled() || (syslog_ && !unsent_.Settled()); };
    const bool before = shown.lines > 0 || shown.unreadable > 0, now = kept.lines > 0 || kept.unreadable > 0;
    const std::string oldTip = TrayTip();
    const bool waiting = retried();
    shown = kept;
    if (now) SetLabel(id, KeptCountText(what, kept.lines, kept.dropped, kept.unreadable));
    if (now != before) ShowExtraRow(id, now);
    if (const bool waits = retried(); waits != waiting) {
        if (waits) SetTimer(window_.Get(), ZENTROK_RETRY_TIMER, RetryMs, nullptr);
        else KillTimer(window_.Get(), ZENTROK_RETRY_TIMER);
    }
    if (iconShown_ && TrayTip() != oldTip) AddTrayIcon();
}

std::string TMainForm::TrayTip() const { return TrayTipText(unwritten_.lines); }

std::string TMainForm::MakeLogFileName() { return zentrok::MakeLogFileName(*this, system_); }

void TMainForm::LoadSettings()
{
    WinProfile profile(IniFile);
    zentrok::LoadSettings(*this, profile, programFolder_);
}

void TMainForm::SaveSettings()
{
    WinProfile profile(IniFile);
    zentrok::SaveSettings(*this, profile);
}

// ---- tray icon ----

// Adds the icon, or changes the tip of the one that is up.
void TMainForm::AddTrayIcon()
{
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
    nid.hWnd = window_.Get();
    nid.uID = 0;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = TrayMessage;
    nid.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    const std::string tip = TrayTip();
    std::memcpy(nid.szTip, tip.c_str(), std::min(tip.size() + 1, sizeof nid.szTip - 1));
    if (!iconShown_ || !Shell_NotifyIconA(NIM_MODIFY, &nid)) Shell_NotifyIconA(NIM_ADD, &nid);
    iconShown_ = true;
}

void TMainForm::RemoveTrayIcon()
{
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
    nid.hWnd = window_.Get();
    Shell_NotifyIconA(NIM_DELETE, &nid);
    iconShown_ = false;
}

LRESULT TMainForm::TrayNotify(LPARAM event)
{
    if ((event == WM_LBUTTONDBLCLK || event == WM_RBUTTONDOWN) && !IsWindowVisible(window_.Get()))
        ShowStatusWindow();
    return 0;
}

// ---- the status window ----

void TMainForm::BuildWindow()
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "MAINICON");
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = ZENTROK_MAIN_CLASS;
    RegisterClassA(&wc);

    // A dialog frame without the caption bits: no title bar, no system menu.
    const DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    window_.Reset(CreateWindowExA(exStyle, ZENTROK_MAIN_CLASS, "Zentrok", style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                                  app_.Handle(), nullptr, instance, this));
    if (!window_) throw ZentrokError("main window: " + std::to_string(GetLastError()));
    // Sized for the dpi of the screen it was made on.
    const int dpi = WindowDpi(window_.Get());
    FitClientHeight(dpi);

    for (const layout::Control& c : layout::MainControls)
        CreateWindowExA(0, c.windowClass, c.text, c.style, 0, 0, 0, 0, window_.Get(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    ApplyDpi(dpi);
    for (int id : layout::MainExtraRows) ShowWindow(GetDlgItem(window_.Get(), id), SW_HIDE);

    for (const layout::Glyph& g : layout::MainGlyphs) AttachGlyph(GetDlgItem(window_.Get(), g.id), g.bitmap);
    CreateTooltips();

    popup_.Reset(CreatePopupMenu());
    for (const layout::MenuItem& item : layout::MainPopupMenu)
        AppendMenuA(popup_.Get(), item.id ? MF_STRING : MF_SEPARATOR, item.id, item.text);
}

// The layout's client size, and one more row for each optional line that is shown.
void TMainForm::FitClientHeight(int dpi)
{
    HWND w = window_.Get();
    int height = layout::MainClientHeight;
    for (int id : layout::MainExtraRows)
        if (GetWindowLongA(GetDlgItem(w, id), GWL_STYLE) & WS_VISIBLE) height += layout::MainExtraRowHeight;
    RECT r{0, 0, Scaled(layout::MainClientWidth, dpi), Scaled(height, dpi)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE)));
    SetWindowPos(w, HWND_TOPMOST, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOACTIVATE);
}

void TMainForm::ShowExtraRow(int id, bool shown)
{
    ShowWindow(GetDlgItem(window_.Get(), id), shown ? SW_SHOWNA : SW_HIDE);
    const int dpi = WindowDpi(window_.Get());
    PlaceExtraRows(dpi);
    FitClientHeight(dpi);
}

// The shown optional lines a row each, in their fixed order, from the first one's place.
void TMainForm::PlaceExtraRows(int dpi)
{
    HWND w = window_.Get();
    int top = layout::MainClientHeight;
    for (int id : layout::MainExtraRows) {
        HWND label = GetDlgItem(w, id);
        if (!(GetWindowLongA(label, GWL_STYLE) & WS_VISIBLE)) continue;
        SetWindowPos(label, nullptr, Scaled(8, dpi), Scaled(top, dpi), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        top += layout::MainExtraRowHeight;
    }
}

void TMainForm::ApplyDpi(int dpi)
{
    SetLayoutFont(window_.Get(), font_, layout::MainFontFace, layout::MainFontHeight, dpi);
    for (const layout::Control& c : layout::MainControls) {
        PlaceScaled(GetDlgItem(window_.Get(), c.id), c.left, c.top, c.width, c.height, dpi);
        if (!c.hint || !tooltips_) continue;
        const TOOLINFOA tool = HintTool(window_.Get(), c.id);
        SendMessageA(tooltips_.Get(), TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    PlaceExtraRows(dpi);
}

// Moved to a monitor of another dpi: the layout at the new scale, in the rectangle the system suggests.
void TMainForm::DpiChanged(int dpi, const RECT& suggested)
{
    ApplyDpi(dpi);
    for (const layout::Control& c : layout::MainControls) {
        if (c.style != layout::Label) continue;
        char text[256] = "";
        GetWindowTextA(GetDlgItem(window_.Get(), c.id), text, sizeof text);
        SetLabel(c.id, text);
    }
    MoveToSuggested(window_.Get(), suggested);
}

void TMainForm::SetLabel(int id, const std::string& text)
{
    // Labels size themselves to their text.
    HWND label = GetDlgItem(window_.Get(), id);
    SetWindowTextA(label, text.c_str());
    SizeToText(label, font_.Get());
}

void TMainForm::ShowStatusWindow()
{
    FormShow();
    ShowWindow(window_.Get(), SW_SHOWNORMAL);
    SetForegroundWindow(window_.Get());
    SetFocus(GetDlgItem(window_.Get(), IDC_MAIN_BTNOK));
}

void TMainForm::CreateTooltips()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    HWND w = window_.Get();
    tooltips_.Reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, w,
                                    nullptr, GetModuleHandleA(nullptr), nullptr));
    SendMessageA(tooltips_.Get(), TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(app_.HintPause, 0));
    for (const layout::Control& c : layout::MainControls) {
        if (!c.hint) continue;
        // An enabled button gets the mouse itself; a disabled one (protect mode) leaves it to
        // the window, so its place in the window is a tool too.
        TOOLINFOA tool = HintTool(w, c.id);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(w, c.id));
        SendMessageA(tooltips_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        tool = HintTool(w, c.id);
        SendMessageA(tooltips_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// As a dialog does: the focused control is kept while another window is active and gets the
// focus back, instead of the window itself (where Space no longer presses a button).
void TMainForm::Activated(bool active)
{
    HWND w = window_.Get();
    if (!active) {
        if (HWND focus = GetFocus(); focus && IsChild(w, focus)) focus_ = focus;
        return;
    }
    SetFocus(focus_ && IsChild(w, focus_) && IsWindowEnabled(focus_) ? focus_ : GetDlgItem(w, IDC_MAIN_BTNOK));
}

bool TMainForm::RunShortcut(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN) return false;
    // Exactly the modifiers of the table: Shift+Esc or Ctrl+Shift+Q is no shortcut, and is
    // eaten, so that the dialog manager doesn't turn Shift+Esc into a cancel either.
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool other = GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0;
    for (const layout::Shortcut& key : layout::MainShortcuts) {
        if (key.key != msg.wParam) continue;
        if (other) return true;
        if (key.control != control) continue;
        app_.Guard([&] { Command(key.command); });  // a disabled command's key does nothing
        return true;
    }
    return false;
}

void TMainForm::ShowPopupMenu(int x, int y)
{
    if (x == -1 && y == -1) {  // from the keyboard: at the window's corner
        RECT r;
        GetWindowRect(window_.Get(), &r);
        x = r.left;
        y = r.top;
    }
    SetForegroundWindow(window_.Get());
    TrackPopupMenu(popup_.Get(), TPM_RIGHTBUTTON, x, y, 0, window_.Get(), nullptr);
    PostMessageA(window_.Get(), WM_NULL, 0, 0);
}

// A button or menu item protect mode disabled; also a command posted from outside must not run it.
bool TMainForm::CommandEnabled(int id) const
{
    if (HWND button = GetDlgItem(window_.Get(), id)) return IsWindowEnabled(button) != FALSE;
    const UINT state = GetMenuState(popup_.Get(), id, MF_BYCOMMAND);
    return state == static_cast<UINT>(-1) || !(state & (MF_GRAYED | MF_DISABLED));
}

void TMainForm::Command(int id)
{
    if (!CommandEnabled(id)) return;
    switch (id) {
    case IDC_MAIN_BTNOK:
    case IDCANCEL:
    case IDM_POPUP_CLOSE: BtnOkClick(); break;
    case IDM_POPUP_VIEW: FormShow(); break;
    case IDC_MAIN_BTNLOG:
    case IDM_POPUP_OPENLOG: BtnLogClick(); break;
    case IDC_MAIN_BTNSETTING:
    case IDM_POPUP_SETTING: BtnSettingClick(); break;
    case IDC_MAIN_BTNCLOSE:
    case IDM_POPUP_EXIT: BtnCloseClick(); break;
    }
}

bool TMainForm::PreTranslate(MSG& msg)
{
    HWND w = window_.Get();
    if (msg.hwnd != w && !IsChild(w, msg.hwnd)) return false;
    return RunShortcut(msg) || IsDialogMessageA(w, &msg);
}

LRESULT CALLBACK TMainForm::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TMainForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || !self->window_) return DefWindowProcA(hwnd, msg, wp, lp);
    return self->HandleMessage(msg, wp, lp);
}

LRESULT TMainForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    HWND w = window_.Get();
    if (TrayMessage != 0 && msg == TrayMessage) {
        app_.Guard([&] { TrayNotify(lp); });
        return 0;
    }
    switch (msg) {
    case WM_CLOSE: app_.Guard([this] { Close(); }); return 0;
    case WM_QUERYENDSESSION: return QueryEndSession(lp);
    case WM_WTSSESSION_CHANGE: SessionChange(wp); return 0;
    case WM_POWERBROADCAST: PowerBroadcast(wp); return TRUE;
    case WM_APP_EVENTERROR:
        if (eventError_) app_.Guard([this] { std::rethrow_exception(std::exchange(eventError_, nullptr)); });
        return 0;
    case WM_ENDSESSION: return 0;
    case WM_TIMER:
        if (wp == ZENTROK_RETRY_TIMER) app_.Guard([this] { RetryKept(); });
        return 0;
    case WM_COMMAND: app_.Guard([&] { Command(LOWORD(wp)); }); return 0;
    case WM_ACTIVATE: Activated(LOWORD(wp) != WA_INACTIVE); return 0;
    case WM_CONTEXTMENU: ShowPopupMenu(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_DPICHANGED: DpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp)); return 0;
    case WM_NCHITTEST:
        // No title bar: the body drags the window while the left button is down.
        return GetAsyncKeyState(VK_LBUTTON) < 0 ? HTCAPTION : HTCLIENT;
    }
    if (msg == taskbarCreated_ && iconShown_) {
        AddTrayIcon();
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

// ---- entry point ----

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::optional<Application> app;
    try {
        app.emplace();
        app->HintPause = 200;
        ShowWindow(app->Handle(), SW_HIDE);
        app->SetTitle("Zentrok");
        // The loop never shows the main window; only the tray icon does.
        TMainForm form(*app, GetCommandLineA(), ExeFileName());
        MainForm = &form;
        app->Run();
        MainForm = nullptr;
    } catch (const std::exception& e) {
        ShowErrorBox(app ? app->Handle() : nullptr, "Zentrok", e);
    }
    return 0;
}
