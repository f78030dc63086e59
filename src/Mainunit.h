// The main window: session start and end, the tray icon, and the status window.
#pragma once
#include <windows.h>

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "Application.h"
#include "Events.h"
#include "Handles.h"
#include "KeptLines.h"
#include "Pending.h"
#include "SessionNotice.h"
#include "Settings.h"
#include "WinLogFile.h"
#include "WinSyslog.h"
#include "WinSystem.h"

class TMainForm : public zentrok::SessionSettings {
public:
    // Builds the hidden window, then runs FormCreate; its errors go to the error box.
    TMainForm(zentrok::Application& owner, std::string commandLine, const std::string& exeFileName);
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    HWND Handle() const { return window_.Get(); }
    HMENU PopupMenu() const { return popup_.Get(); }

    std::string LogFile;
    std::string IniFile;
    std::int32_t MaxLines = 0;
    double StartTime = 0;  // time of day at start, as a fraction of a day
    double StartDate = 0;  // date at start, in days
    UINT TrayMessage = 0;

    void FormCreate();
    void FormCloseQuery(bool& canClose);
    void BtnCloseClick();
    void BtnOkClick();
    void BtnLogClick();
    void BtnSettingClick();
    void FormShow();

    std::string MakeDateTimeText();
    std::string MakeLogRecord(const std::string& eventWord);
    void AddLogLine(const std::string& line);
    std::string MakeLogFileName();
    void LoadSettings();
    void SaveSettings();
    void AddTrayIcon();
    void RemoveTrayIcon();

private:
    void BuildWindow();
    void ApplyDpi(int dpi);
    void DpiChanged(int dpi, const RECT& suggested);
    void SetLabel(int id, const std::string& text);
    void SetProtected();
    void CreateTooltips();
    void ShowStatusWindow();
    bool RunShortcut(const MSG& msg);
    void Close();
    LRESULT QueryEndSession(LPARAM reason);
    void CheckPreviousRun();
    void FitClientHeight(int dpi);
    void PlaceExtraRows(int dpi);
    void ShowExtraRow(int id, bool shown);
    void WritePending(const std::optional<zentrok::PendingLine>& fresh, bool everyLog);
    void Forward(const std::optional<std::string>& line);
    zentrok::SyslogRecord MakeSyslogRecord(const std::string& line);
    void RetryKept();
    void ShowKept(int id, const char* what, zentrok::KeptCount& shown, const zentrok::KeptCount& kept);
    std::string TrayTip() const;
    void WatchSessionChanges();
    void SessionChange(WPARAM code);
    void PowerBroadcast(WPARAM event);
    void AddEventLine(const char* word);
    LRESULT TrayNotify(LPARAM event);
    bool CommandEnabled(int id) const;
    void Activated(bool active);
    void Command(int id);
    void ShowPopupMenu(int x, int y);
    bool PreTranslate(MSG& msg);

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    zentrok::Application& app_;
    std::string commandLine_;
    std::string programFolder_;
    zentrok::WinSystemServices system_;
    zentrok::WinLogFile files_;
    zentrok::WinLogFile keptFiles_;  // the pending file's and the spool's updates, apart from the log's
    zentrok::KeptLines pending_;
    zentrok::KeptLines spool_;
    zentrok::KeptCount unwritten_, unsent_;  // what each held when last seen
    std::optional<zentrok::WinSyslog> syslog_;  // while forwarding is on
    std::string syslogHost_;
    // The record being made: its word, clock reading and end reason.
    struct {
        std::string word;
        zentrok::ClockReading at;
        const char* reason = nullptr;
    } made_;
    zentrok::TimeFormat timeFormat_;
    UINT taskbarCreated_ = 0;
    bool iconShown_ = false;  // the icon should be up: put it back when the shell restarts
    HWND focus_ = nullptr;    // the control that had the focus when the window was last active
    zentrok::FontHandle font_;
    zentrok::MenuHandle popup_;
    zentrok::WindowHandle window_;
    zentrok::WindowHandle tooltips_;
    std::optional<bool> endByLogoff_;  // while a session end is asked: whether it is a logoff
    zentrok::PowerEvents power_;
    std::exception_ptr eventError_;  // a notice's failed write, shown once the notice is answered
    zentrok::SessionNotice sessionNotice_;  // after window_: unregistered before the window goes
};

// The main window, for the settings dialog and the application's handlers.
extern TMainForm* MainForm;
