// Drives the real Zentrok.exe as Windows and a user would: starts it in a folder
// of its own, finds its windows, sends it messages, reads its message boxes and files.
#pragma once
#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace e2e {

// Where the built program is; set from the command line by main().
extern std::string ZentrokExe;

// A path the build gave, as a Windows path: a Unix path is reached through drive Z:.
std::string FromBuildPath(std::string path);

// The log writer made from the core (tests/tools/LogWriter.cpp), beside the tests.
std::string LogWriterExe();
// The report program, built beside Zentrok.exe.
std::string ReportExe();

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

struct MessageBoxSeen {
    HWND hwnd = nullptr;
    std::string text, caption;
    bool errorIcon = false;
    bool exclamationIcon = false;
};

// A top-level window of process pid with class cls.
HWND FindWindowOf(DWORD pid, const char* cls, bool visibleOnly = false);
// The same for many processes at once, from one look at the system's threads.
std::map<DWORD, HWND> FindWindowsOf(const std::set<DWORD>& pids, const char* cls, bool visibleOnly = false);

class Program {
public:
    // Copies Zentrok.exe into folder and starts it with the arguments; waits until it is idle.
    Program(const TempFolder& folder, const std::string& arguments = "");
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD Pid() const { return info_.dwProcessId; }
    const std::string& Exe() const { return exe_; }  // the copy it runs
    HWND MainWindow() const;  // class TMainForm
    HWND AppWindow() const;   // the hidden application window
    HWND Control(int id) const { return GetDlgItem(MainWindow(), id); }
    bool Running() const;
    // Waits for the process to end; its exit code, or nothing on time-out.
    std::optional<DWORD> WaitExit(DWORD ms = 10000);
    // The next message box of the program, with its text and caption.
    std::optional<MessageBoxSeen> WaitMessageBox(DWORD ms = 10000) const;
    // Answers a session-end query as Windows asks it; nothing on time-out.
    std::optional<LRESULT> Send(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0, DWORD ms = 8000) const;
    // Waits until every message posted to the program before the call has been handled.
    bool Sync() const;
    // Waits until what the last hide or show set going has arrived: the program's
    // handler has returned, the shell has taken its activation and the program the
    // deactivation that may follow.
    void Settle() const;

private:
    // The window found before, while it is still the program's; else a new search.
    HWND Window(HWND& known, const char* cls) const;

    std::string exe_;
    PROCESS_INFORMATION info_{};
    mutable HWND main_ = nullptr, app_ = nullptr;
};

// Presses the box's OK and waits until the box is gone; whether it went.
bool PressOk(const MessageBoxSeen& box);
// Shows the status window as a double-click on the icon does, once what an earlier
// hide set going has settled; holds when it is up, active and BtnOk has the focus.
::testing::AssertionResult ShowStatusWindow(const Program& zentrok);

// Focus, activation and move state of the thread that owns the window, seen from outside.
GUITHREADINFO ThreadInfo(HWND window);
// A window's text, also from another process.
std::string Text(HWND hwnd);
// Real key presses, as the user types them into the foreground window; they are
// taken in order, so wait for the effect of the last.
void PressKey(WORD key, bool control = false);
// Runs a command of the Unix side through /bin/sh and waits for it; its exit code, or -1.
int RunUnix(const std::string& command, DWORD ms = 10000);
// Real mouse input on the display through xdotool (a Unix program Wine can start); false when it can't run.
bool Xdotool(const std::string& arguments);
bool XdotoolInstalled();
// Polls every step ms until done() holds, at most ms by the clock; whether it held.
template <typename Pred>
bool WaitUntil(Pred done, DWORD ms = 5000, DWORD step = 20)
{
    for (const ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end; Sleep(step))
        if (done()) return true;
    return done();
}
// Whether the program's tray icon (window hwnd, id 0) exists.
bool IconPresent(HWND hwnd);
// The program is up: its logon line written (or kept), its icon shown and no box in the way.
::testing::AssertionResult StartedUp(const Program& zentrok);

// Copies of Zentrok.exe started at once, as the PCs of an office at 9:00; ended when it goes.
class LogonStorm {
public:
    // Each exe started in its own folder with the arguments.
    LogonStorm(const std::vector<std::string>& exes, const std::string& arguments);
    ~LogonStorm();
    LogonStorm(const LogonStorm&) = delete;
    LogonStorm& operator=(const LogonStorm&) = delete;
    // Waits until every program shows its icon, or one shows a box, or no new icon came for
    // still ms: one look at all of them twice a second, so that the looking doesn't keep
    // Wine's server from them. The ms from each start until its icon (0: none came).
    std::vector<DWORD> WaitForIcons(DWORD still);
    // The texts of the boxes the programs show.
    std::vector<std::string> Boxes() const;

private:
    std::vector<HANDLE> processes_;
    std::vector<DWORD> startedAt_;
};

// Starts a program; its process handle (the caller closes it), or nullptr.
HANDLE StartProcess(const std::string& commandLine, const std::string& folder = "");
// Waits for a process and closes its handle; its exit code, or nothing on time-out.
std::optional<DWORD> Finish(HANDLE process, DWORD ms = 60000);
// What a console program wrote on its output and error output, and its exit code (nothing on time-out).
struct Captured {
    std::optional<DWORD> code;
    std::string out, err;
};
// outRefused: the standard output takes no byte, as on a full disk.
Captured RunCaptured(const std::string& commandLine, const std::string& folder, DWORD ms = 60000,
                     bool outRefused = false);

// Settings in home that send the log to logFolder and join the fields with separator.
void WriteLogSettings(const TempFolder& home, const std::string& logFolder, const std::string& separator);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
std::vector<std::string> FileNames(const std::string& folder);  // everything but . and ..
std::vector<std::string> Lines(const std::string& text);       // split at CR LF
// A Windows path as the Unix side sees it, for Unix programs.
std::string UnixPath(const std::string& path);

// The current local time as the log writes it, for bracketing a record's time.
std::string NowText();
std::string UserName();
std::string ComputerName();
// Whether line is the default record for word, timed between from and to.
::testing::AssertionResult IsRecord(const std::string& line, const std::string& word, const std::string& from,
                                    const std::string& to);

} // namespace e2e
