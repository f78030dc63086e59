#include "Driver.h"

#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

#include "ControlIds.h"
#include "Handles.h"

namespace e2e {

std::string ZentrokExe;

namespace {
void Sleep10() { std::this_thread::sleep_for(std::chrono::milliseconds(10)); }

struct Search {
    const char* cls;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindOne(HWND hwnd, LPARAM lp)
{
    auto* s = reinterpret_cast<Search*>(lp);
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) == s->cls && (!s->visibleOnly || IsWindowVisible(hwnd))) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

// Only the process's own threads are searched: Wine's shell keeps a window for every
// tray icon it has ever shown, hundreds after a test run, and a walk over all windows
// asks the server about each of them.
std::map<DWORD, HWND> FindWindowsOf(const std::set<DWORD>& pids, const char* cls, bool visibleOnly)
{
    std::map<DWORD, HWND> found;
    HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (threads == INVALID_HANDLE_VALUE) return found;
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    for (BOOL more = Thread32First(threads, &thread); more; more = Thread32Next(threads, &thread)) {
        if (!pids.count(thread.th32OwnerProcessID) || found.count(thread.th32OwnerProcessID)) continue;
        Search s{cls, visibleOnly, nullptr};
        EnumThreadWindows(thread.th32ThreadID, FindOne, reinterpret_cast<LPARAM>(&s));
        if (s.found) found[thread.th32OwnerProcessID] = s.found;
    }
    CloseHandle(threads);
    return found;
}

HWND FindWindowOf(DWORD pid, const char* cls, bool visibleOnly)
{
    const auto found = FindWindowsOf({pid}, cls, visibleOnly);
    return found.empty() ? nullptr : found.begin()->second;
}

std::string Text(HWND hwnd)
{
    char buf[4096] = "";
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buf;
}

namespace {
// The system's icons can't be compared across processes, so look at the screen:
// the error icon is mostly red, the exclamation icon yellow.
// How many of the icon's pixels on the screen have the colour.
int PixelsOfIcon(HWND box, bool (*colour)(COLORREF))
{
    HWND icon = nullptr;
    for (int id : {0x14, 0x440})  // the icon's id on Windows and under Wine
        if (!icon) icon = GetDlgItem(box, id);
    if (!icon) return 0;
    RECT r;
    GetWindowRect(icon, &r);
    HDC screen = GetDC(nullptr);
    int matching = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (colour(GetPixel(screen, x, y))) ++matching;
    ReleaseDC(nullptr, screen);
    return matching;
}

bool Red(COLORREF c) { return GetRValue(c) > 180 && GetGValue(c) < 100 && GetBValue(c) < 100; }
bool Yellow(COLORREF c) { return GetRValue(c) > 180 && GetGValue(c) > 160 && GetBValue(c) < 100; }

std::string DateTimeText(const SYSTEMTIME& t)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d.", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond);
    return buf;
}

void RemoveTree(const std::string& path)
{
    for (const std::string& name : FileNames(path)) {
        const std::string full = path + "\\" + name;
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
        else DeleteFileA(full.c_str());
    }
    RemoveDirectoryA(path.c_str());
}
} // namespace

// Every program a test starts belongs to this job, which ends them all when the
// test program ends, however it ends: none is left to hold the test run's output open.
HANDLE TestJob()
{
    static HANDLE job = [] {
        HANDLE j = CreateJobObjectA(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(j, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        return j;
    }();
    return job;
}

namespace {
// Wine, with every core busy, once failed to start a copy of the program that would
// have started the next time (a CI run, 400 starts); the tests are about the program.
// With out and err, the program's output goes to them (inheritable handles).
bool Launch(const char* exe, const std::string& commandLine, const std::string& folder, PROCESS_INFORMATION& info,
            HANDLE out = nullptr, HANDLE err = nullptr)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string line = commandLine;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (out) {
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdOutput = out;
            si.hStdError = err;
        }
        if (CreateProcessA(exe, line.data(), nullptr, nullptr, out != nullptr, 0, nullptr,
                           folder.empty() ? nullptr : folder.c_str(), &si, &info)) {
            AssignProcessToJobObject(TestJob(), info.hProcess);
            return true;
        }
    }
    return false;
}
} // namespace

TempFolder::TempFolder()
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static int serial = 0;
    path_ = std::string(base) + "zentrok-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++serial);
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

Program::Program(const TempFolder& folder, const std::string& arguments) : exe_(folder / "Zentrok.exe")
{
    const std::string& exe = exe_;
    // Copied once: a copy that just ended may still be mapped for a moment.
    if (!Exists(exe) && !CopyFileA(ZentrokExe.c_str(), exe.c_str(), TRUE))
        throw std::runtime_error("can't copy " + ZentrokExe);
    if (!Launch(exe.c_str(), "\"" + exe + "\" " + arguments, folder.Path(), info_))
        throw std::runtime_error("can't start " + exe + ": error " + std::to_string(GetLastError()));
    WaitForInputIdle(info_.hProcess, 10000);
    for (int i = 0; i < 500 && !(MainWindow() && AppWindow()); ++i) Sleep10();
}

Program::~Program()
{
    if (Running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

HWND Program::Window(HWND& known, const char* cls) const
{
    DWORD owner = 0;
    if (!known || !IsWindow(known) || (GetWindowThreadProcessId(known, &owner), owner) != Pid())
        known = FindWindowOf(Pid(), cls);
    return known;
}

HWND Program::MainWindow() const { return Window(main_, ZENTROK_MAIN_CLASS); }
HWND Program::AppWindow() const { return Window(app_, ZENTROK_APP_CLASS); }

bool Program::Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Program::WaitExit(DWORD ms)
{
    if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

std::optional<MessageBoxSeen> Program::WaitMessageBox(DWORD ms) const
{
    for (DWORD waited = 0; waited < ms; waited += 10) {
        if (HWND box = FindWindowOf(Pid(), "#32770", true)) {
            MessageBoxSeen seen;
            seen.hwnd = box;
            seen.caption = Text(box);
            seen.text = Text(GetDlgItem(box, 0xFFFF));
            // Either icon, once the box has been drawn: mostly red or mostly yellow.
            RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            int red = 0, yellow = 0;
            WaitUntil([&] { return (red = PixelsOfIcon(box, Red)) > 50 || (yellow = PixelsOfIcon(box, Yellow)) > 50; }, 2000);
            seen.errorIcon = red > 50;
            seen.exclamationIcon = yellow > 50;
            return seen;
        }
        Sleep10();
    }
    return std::nullopt;
}

std::optional<LRESULT> Program::Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD ms) const
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, ms, &answer)) return std::nullopt;
    return static_cast<LRESULT>(answer);
}

bool Program::Sync() const
{
    // Posted messages are taken in order: once a value posted to the status window's
    // tooltips reads back, everything posted to the program before it has been handled.
    // (Widths far beyond any hint's, so the hints look as they did.)
    struct Search {
        HWND owner, found;
    } search{MainWindow(), nullptr};
    EnumThreadWindows(
        GetWindowThreadProcessId(search.owner, nullptr),
        [](HWND w, LPARAM lp) {
            auto* s = reinterpret_cast<Search*>(lp);
            char cls[64] = "";
            GetClassNameA(w, cls, sizeof cls);
            if (GetWindow(w, GW_OWNER) == s->owner && std::string(cls) == TOOLTIPS_CLASSA) s->found = w;
            return s->found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    const LRESULT next = Send(search.found, TTM_GETMAXTIPWIDTH) == 30000 ? 30001 : 30000;
    PostMessageA(search.found, TTM_SETMAXTIPWIDTH, 0, next);
    // Each look is a round trip to the program: no need to wait long between them.
    return WaitUntil([&] { return Send(search.found, TTM_GETMAXTIPWIDTH) == next; }, 5000, 1);
}

void Program::Settle() const
{
    // Sent messages are taken in order too: a round trip through each thread that
    // passes activation on leaves nothing of it on the way.
    Send(MainWindow(), WM_NULL);
    for (HWND shell : {FindWindowA("Shell_TrayWnd", nullptr), GetDesktopWindow()})
        if (shell) Send(shell, WM_NULL);
    Send(MainWindow(), WM_NULL);
    Sync();
}

::testing::AssertionResult ShowStatusWindow(const Program& zentrok)
{
    zentrok.Settle();
    HWND main = zentrok.MainWindow();
    PostMessageA(main, RegisterWindowMessageA("IconNotify"), 0, WM_LBUTTONDBLCLK);
    const bool ready = WaitUntil([&] {
        return IsWindowVisible(main) && GetForegroundWindow() == main &&
               ThreadInfo(main).hwndFocus == zentrok.Control(IDC_MAIN_BTNOK);
    }, 5000, 1);
    if (ready) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "status window visible " << IsWindowVisible(main) << ", foreground "
                                         << (GetForegroundWindow() == main);
}

GUITHREADINFO ThreadInfo(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

void PressKey(WORD key, bool control)
{
    if (control) keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event(static_cast<BYTE>(key), 0, 0, 0);
    keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    if (control) keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

namespace {
std::string BesideZentrok(const std::string& name) { return ZentrokExe.substr(0, ZentrokExe.rfind('\\') + 1) + name; }
} // namespace

std::string LogWriterExe() { return BesideZentrok("tests\\log_writer.exe"); }
std::string ReportExe() { return BesideZentrok("ZentrokReport.exe"); }

HANDLE StartProcess(const std::string& commandLine, const std::string& folder)
{
    PROCESS_INFORMATION pi{};
    if (!Launch(nullptr, commandLine, folder, pi)) return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

std::optional<DWORD> Finish(HANDLE process, DWORD ms)
{
    std::optional<DWORD> code;
    if (WaitForSingleObject(process, ms) == WAIT_OBJECT_0) {
        DWORD c = 0;
        GetExitCodeProcess(process, &c);
        code = c;
    }
    CloseHandle(process);
    return code;
}

namespace {
// A file for a program's output, gone when the last handle on it closes; one opened only for
// reading refuses every write.
zentrok::FileHandle OutputFile(bool writable = true)
{
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, "zen", 0, path);
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    return zentrok::FileHandle(CreateFileA(path, GENERIC_READ | (writable ? GENERIC_WRITE : 0),
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherited,
                                           CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

std::string ReadRest(HANDLE h)
{
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    return out;
}

// The child wrote through the same file object: its position is at the end.
std::string ReadFromStart(const zentrok::FileHandle& file)
{
    SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
    return ReadRest(file.Get());
}
} // namespace

Captured RunCaptured(const std::string& commandLine, const std::string& folder, DWORD ms, bool outRefused)
{
    const zentrok::FileHandle out = OutputFile(!outRefused), err = OutputFile();
    PROCESS_INFORMATION pi{};
    if (!out || !err || !Launch(nullptr, commandLine, folder, pi, out.Get(), err.Get())) return {};
    CloseHandle(pi.hThread);
    const std::optional<DWORD> code = Finish(pi.hProcess, ms);
    return {code, ReadFromStart(out), ReadFromStart(err)};
}

// Wine starts a Unix program but gives no handle of its process to wait on: a shell around
// xdotool leaves its exit code in a file when it has finished.
bool XdotoolInstalled() { return GetFileAttributesA("Z:\\usr\\bin\\xdotool") != INVALID_FILE_ATTRIBUTES; }

// A Unix program's end can't be waited for from here: it leaves its exit code in a file.
int RunUnix(const std::string& command, DWORD ms)
{
    static int runs = 0;
    const std::string name = "zentrok-unix-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs);
    const std::string done = "Z:\\tmp\\" + name;
    if (HANDLE process = StartProcess("Z:\\bin\\sh -c \"" + command + "; echo $? >/tmp/" + name + ".part && mv /tmp/" +
                                      name + ".part /tmp/" + name + "\""))
        CloseHandle(process);
    const bool finished = WaitUntil([&] { return Exists(done); }, ms);
    const std::string code = finished ? ReadBytes(done) : "";
    DeleteFileA(done.c_str());
    return finished ? std::atoi(code.c_str()) : -1;
}

bool Xdotool(const std::string& arguments)
{
    const int code = RunUnix("/usr/bin/xdotool " + arguments);
    if (code != 0) ADD_FAILURE() << "xdotool " << arguments << ": " << (code < 0 ? "no end" : "exit " + std::to_string(code));
    return code == 0;
}

bool PressOk(const MessageBoxSeen& box)
{
    PostMessageA(box.hwnd, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !IsWindow(box.hwnd); });
}

::testing::AssertionResult StartedUp(const Program& zentrok)
{
    if (!WaitUntil([&] { return IconPresent(zentrok.MainWindow()); }, 20000))
        return ::testing::AssertionFailure() << "no icon";
    if (const auto box = zentrok.WaitMessageBox(0)) return ::testing::AssertionFailure() << "a box: " << box->text;
    return ::testing::AssertionSuccess();
}

LogonStorm::LogonStorm(const std::vector<std::string>& exes, const std::string& arguments)
{
    for (const std::string& exe : exes) {
        processes_.push_back(StartProcess("\"" + exe + "\" " + arguments, exe.substr(0, exe.rfind('\\'))));
        startedAt_.push_back(GetTickCount());
        if (!processes_.back()) throw std::runtime_error("can't start " + exe);
    }
}

LogonStorm::~LogonStorm()
{
    for (HANDLE process : processes_) {
        TerminateProcess(process, 1);
        Finish(process);
    }
}

std::vector<DWORD> LogonStorm::WaitForIcons(DWORD still)
{
    std::vector<DWORD> up(processes_.size(), 0);
    std::map<DWORD, std::size_t> waiting;  // process id -> index
    for (std::size_t i = 0; i < processes_.size(); ++i) waiting[GetProcessId(processes_[i])] = i;
    const auto pids = [&] {
        std::set<DWORD> ids;
        for (const auto& [pid, i] : waiting) ids.insert(pid);
        return ids;
    };
    DWORD progress = GetTickCount();
    WaitUntil([&] {
        if (!FindWindowsOf(pids(), "#32770", true).empty()) return true;
        for (const auto& [pid, main] : FindWindowsOf(pids(), ZENTROK_MAIN_CLASS))
            if (IconPresent(main)) {
                const std::size_t i = waiting.at(pid);
                up[i] = std::max<DWORD>(1, (progress = GetTickCount()) - startedAt_[i]);
                waiting.erase(pid);
            }
        return waiting.empty() || GetTickCount() - progress > still;
    }, INFINITE - 1, 500);
    return up;
}

std::vector<std::string> LogonStorm::Boxes() const
{
    std::set<DWORD> ids;
    for (HANDLE process : processes_) ids.insert(GetProcessId(process));
    std::vector<std::string> texts;
    for (const auto& [pid, box] : FindWindowsOf(ids, "#32770", true)) texts.push_back(Text(GetDlgItem(box, 0xFFFF)));
    return texts;
}

bool IconPresent(HWND hwnd)
{
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
    nid.hWnd = hwnd;
    return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

std::string ReadBytes(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "(missing)";
    std::string out = ReadRest(h);
    CloseHandle(h);
    return out;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("can't write " + path);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

void WriteLogSettings(const TempFolder& home, const std::string& logFolder, const std::string& separator)
{
    WriteBytes(home / "Zentrok.ini", "[Place]\r\nDirectory=" + logFolder + "\\\r\n[Log]\r\nSeparator=" + separator + "\r\n");
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> FileNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string UnixPath(const std::string& path)
{
    // Wine's own export; its answer comes from the process heap.
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = zentrok::LibraryFunction<Convert>(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    std::wstring wide(path.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    struct HeapFreer {
        void operator()(char* p) const { HeapFree(GetProcessHeap(), 0, p); }
    };
    const std::unique_ptr<char, HeapFreer> unix(convert ? convert(wide.c_str()) : nullptr);
    return unix ? unix.get() : "";
}

std::string NowText()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return DateTimeText(t);
}

std::string UserName()
{
    char buf[256];
    DWORD n = sizeof buf;
    return GetUserNameA(buf, &n) ? buf : "";
}

std::string ComputerName()
{
    char buf[256];
    DWORD n = sizeof buf;
    return GetComputerNameA(buf, &n) ? buf : "";
}

::testing::AssertionResult IsRecord(const std::string& line, const std::string& word, const std::string& from,
                                    const std::string& to)
{
    const std::string head = word + " - " + UserName() + " - ";
    const std::string tail = " - " + ComputerName();
    if (line.size() != head.size() + 20 + tail.size() || line.compare(0, head.size(), head) != 0 ||
        line.compare(head.size() + 20, tail.size(), tail) != 0)
        return ::testing::AssertionFailure() << "not a " << word << " record: " << line;
    const std::string when = line.substr(head.size(), 20);
    if (when < from || when > to)
        return ::testing::AssertionFailure() << when << " is not between " << from << " and " << to;
    return ::testing::AssertionSuccess();
}

std::string FromBuildPath(std::string path)
{
    if (!path.empty() && path[0] == '/') {  // a Unix path from the build: reach it through drive Z:
        for (char& c : path)
            if (c == '/') c = '\\';
        path = "Z:" + path;
    }
    return path;
}

} // namespace e2e
