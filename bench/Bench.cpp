// The Win32 benchmarks, measured under the same Wine as their baselines and
// interleaved with them; prints one "<figure> <value>" a line for bench/report.py.
//   zentrok_bench <Zentrok.exe> [--smoke | --storm | --bigstorm | --forward]   every figure (--smoke: tiny
//                                                             sizes, one run; the others: only that part)
//   zentrok_bench insert <log> <count> <label> <results> <max lines>   the program's insertion, in a fresh process
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Collector.h"
#include "ControlIds.h"
#include "Driver.h"
#include "Holdings.h"
#include "Insertions.h"
#include "LogFile.h"
#include "SampleLog.h"
#include "WinLogFile.h"

namespace {

struct Plan {
    struct Size {
        int lines, insertionsPerProcess;
    };
    std::vector<Size> logs;
    int logRounds;
    int startRounds;
    std::vector<Size> sessionEnds;  // log lines, queries
    Size storm;                     // programs started at once, rounds
    int forwardQueries;             // session ends per forwarding case
    struct { int programs, lines; } bigStorm;  // started at once on one log of so many lines
};

const Plan Full{{{1000, 20}, {100000, 5}, {1000000, 2}}, 5, 15, {{1000, 30}, {1000000, 5}}, {50, 3}, 30, {50, 1000000}};
const Plan Smoke{{{100, 1}}, 1, 1, {{100, 1}}, {3, 1}, 1, {3, 1000}};

double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) * 1000 / static_cast<double>(f.QuadPart);
}

void Report(const std::string& figure, double value)
{
    std::printf("%s %.4f\n", figure.c_str(), value);
    std::fflush(stdout);
}

std::string Beside(const std::string& name)
{
    char self[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string path(self, n);
    return path.substr(0, path.rfind('\\') + 1) + name;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

void Require(bool ok, const std::string& what)
{
    if (!ok) throw std::runtime_error(what);
}

// Runs a timer process to its end and passes on the figures it left in results.
void RunTimer(const std::string& commandLine, const std::string& results)
{
    Require(e2e::Finish(e2e::StartProcess(commandLine), 600000) == DWORD{0}, "failed: " + commandLine);
    std::fputs(e2e::ReadBytes(results).c_str(), stdout);
    std::fflush(stdout);
    DeleteFileA(results.c_str());
}

// Time per insertion by the program's code and by the baselines, on logs of each size.
void Insertions(const Plan& plan)
{
    const e2e::TempFolder folder;
    const std::string results = folder / "results.txt";
    for (const Plan::Size& size : plan.logs) {
        const std::string text = bench::SampleLog(size.lines);
        const std::string n = std::to_string(size.lines), count = std::to_string(size.insertionsPerProcess);
        for (const char* who : {"zentrok", "baseline", "plain"}) e2e::WriteBytes(folder / (std::string(who) + ".txt"), text);
        Report("log." + n + ".bytes", static_cast<double>(text.size()));
        for (int round = 0; round < plan.logRounds; ++round) {
            const std::string tail = " " + count + " insert." + n + ".";
            RunTimer(Quoted(Beside("zentrok_bench.exe")) + " insert " + Quoted(folder / "zentrok.txt") + tail +
                         "zentrok " + Quoted(results) + " " + n, results);
            RunTimer(Quoted(Beside("baseline_log.exe")) + " " + Quoted(folder / "baseline.txt") + tail + "baseline " +
                         Quoted(results), results);
            RunTimer(Quoted(Beside("baseline_log.exe")) + " " + Quoted(folder / "plain.txt") + tail + "plain " +
                         Quoted(results) + " plain", results);
        }
    }
}

// A resident program started in a folder of its own and ended with a close message.
class Resident {
public:
    Resident(const std::string& name, const std::string& exe, const char* windowClass, const char* logName)
        : name_(name), exe_(folder_ / name + ".exe"), windowClass_(windowClass), log_(folder_ / logName)
    {
        Require(CopyFileA(exe.c_str(), exe_.c_str(), FALSE), "can't copy " + exe);
    }
    ~Resident() { Stop(); }

    const std::string& Name() const { return name_; }
    void Settings(const std::string& ini) const { e2e::WriteBytes(folder_ / "Zentrok.ini", ini); }
    const std::string& Log() const { return log_; }
    HWND Window() const { return window_; }

    // Starts it; the milliseconds until its first line is on disk and its icon is up.
    double Start(const std::string& arguments = "", DWORD ms = 20000)
    {
        const double start = Now();
        process_ = e2e::StartProcess(Quoted(exe_) + " " + arguments, folder_.Path());
        Require(process_ != nullptr, "can't start " + exe_);
        const DWORD pid = GetProcessId(process_);
        while (true) {
            if (LineOnDisk() && (window_ || (window_ = e2e::FindWindowOf(pid, windowClass_))) && e2e::IconPresent(window_))
                return Now() - start;
            Require(Now() - start < ms, name_ + " did not come up");
            Sleep(1);
        }
    }

    void Stop()
    {
        if (!process_) return;
        PostMessageA(window_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
        e2e::Finish(std::exchange(process_, nullptr), 5000);
        window_ = nullptr;
    }

    void ReportResources(const std::string& when) const
    {
        PROCESS_MEMORY_COUNTERS_EX m{};
        GetProcessMemoryInfo(process_, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
        const std::string prefix = "resident." + when + "." + name_ + ".";
        if (m.PrivateUsage) Report(prefix + "private", static_cast<double>(m.PrivateUsage));
        else Report(prefix + "private_unix", static_cast<double>(e2e::WinePrivateBytes(exe_)));
        Report(prefix + "ws", static_cast<double>(m.WorkingSetSize));
        const e2e::Holdings held = e2e::Holdings::Of(process_, exe_);
        Report(prefix + "gdi", held.gdi);
        Report(prefix + "windows", held.windows);
    }

    // The answer to a session-end query and the milliseconds it took.
    double QueryEndSession() const
    {
        DWORD_PTR answer = 0;
        const double start = Now();
        const bool answered = SendMessageTimeoutA(window_, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 30000, &answer);
        const double ms = Now() - start;
        Require(answered && answer == TRUE, name_ + " refused the session end");
        return ms;
    }

private:
    bool LineOnDisk() const
    {
        const std::string text = e2e::ReadBytes(log_);
        return text != "(missing)" && text.find("\r\n") != std::string::npos;
    }

    e2e::TempFolder folder_;
    std::string name_, exe_;
    const char* windowClass_;
    std::string log_;
    HANDLE process_ = nullptr;
    HWND window_ = nullptr;
};

// The status window shown once from the icon and closed again, as the user does.
void ShowStatusOnce(const Resident& program, bool hasStatusWindow)
{
    HWND w = program.Window();
    PostMessageA(w, RegisterWindowMessageA("IconNotify"), 0, WM_LBUTTONDBLCLK);
    if (hasStatusWindow) {
        Require(e2e::WaitUntil([&] { return IsWindowVisible(w) != FALSE; }), "no status window");
        Sleep(300);
        PostMessageA(w, WM_COMMAND, IDC_MAIN_BTNOK, 0);
        Require(e2e::WaitUntil([&] { return !IsWindowVisible(w); }), "the status window stays");
    }
    Sleep(300);
}

// Start-up and resident cost of the program and the minimal program, turn about.
void StartAndIdle(const Plan& plan, const std::string& zentrokExe)
{
    Resident zentrok("zentrok", zentrokExe, ZENTROK_MAIN_CLASS, "Zentrok.txt");
    Resident baseline("baseline", Beside("baseline_app.exe"), "ZentrokBaseline", "Baseline.txt");
    for (int round = 0; round < plan.startRounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            Resident& program = (round + turn) % 2 ? baseline : zentrok;
            DeleteFileA(program.Log().c_str());
            Report("start." + program.Name() + ".ms", program.Start());
            Sleep(700);
            program.ReportResources("idle");
            ShowStatusOnce(program, &program == &zentrok);
            program.ReportResources("shown");
            if (&program == &baseline) Report("sessionend.baseline.ms", program.QueryEndSession());
            program.Stop();
        }
    }
}

// The program's answer to the session end, with logs of each size.
void SessionEnd(const Plan& plan, const std::string& zentrokExe)
{
    for (const Plan::Size& size : plan.sessionEnds) {
        Resident zentrok("zentrok", zentrokExe, ZENTROK_MAIN_CLASS, "Zentrok.txt");
        e2e::WriteBytes(zentrok.Log(), bench::SampleLog(size.lines));
        zentrok.Start(std::to_string(size.lines), 120000);
        for (int i = 0; i < size.insertionsPerProcess; ++i) {
            Sleep(100);
            Report("sessionend." + std::to_string(size.lines) + ".zentrok.ms", zentrok.QueryEndSession());
        }
    }
}

// Programs of as many PCs, each in a folder of its own, logging on at once to one
// 1,000-line log: the time until the last logon line is in, and the time one of them
// alone takes until its line is in (all of them one after the other can't take longer
// than that many times it).
void Storm(const Plan& plan, const std::string& zentrokExe)
{
    e2e::TempFolder shared;
    const std::string log = shared / "Zentrok.txt";
    std::vector<std::unique_ptr<e2e::TempFolder>> homes;
    for (int p = 0; p < plan.storm.lines; ++p) {
        homes.push_back(std::make_unique<e2e::TempFolder>());
        e2e::WriteLogSettings(*homes.back(), shared.Path(), "<S>");
        Require(CopyFileA(zentrokExe.c_str(), (*homes.back() / "Zentrok.exe").c_str(), FALSE), "can't copy " + zentrokExe);
    }
    const auto logons = [&] {
        const std::string text = e2e::ReadBytes(log);
        int n = 0;
        for (std::size_t at = text.find("<S>"); at != std::string::npos; at = text.find("<S>", at + 1)) ++n;
        return n / 3;  // three separators a line
    };
    // Starts the programs of homes [from, to) at once; the ms until all their lines are in.
    const auto start = [&](int from, int to) {
        e2e::WriteBytes(log, bench::SampleLog(1000));
        std::vector<HANDLE> programs;
        const double begin = Now();
        for (int p = from; p < to; ++p)
            programs.push_back(e2e::StartProcess(Quoted(*homes[p] / "Zentrok.exe"), homes[p]->Path()));
        const bool in = e2e::WaitUntil([&] { return logons() >= to - from; }, 120000, 1);
        const double ms = Now() - begin;
        for (HANDLE process : programs) {
            TerminateProcess(process, 1);
            e2e::Finish(process, 10000);
        }
        Require(in, "the logon lines did not all come");
        return ms;
    };
    for (int round = 0; round < plan.storm.insertionsPerProcess; ++round) {
        Report("storm.one.ms", start(0, 1));
        Report("storm.all.ms", start(0, plan.storm.lines));
    }
    Report("storm.programs", plan.storm.lines);
}

// The same storm on a log of a million lines, as one shared log of a large office: the
// longest start until the icon, against as many plain rewrites of that log by one process
// (the least the queue can take, with nobody waiting for anyone).
void BigStorm(const Plan& plan, const std::string& zentrokExe)
{
    const int programs = plan.bigStorm.programs, lines = plan.bigStorm.lines;
    e2e::TempFolder shared;
    const std::string log = shared / "Zentrok.txt", results = shared / "results.txt";
    std::vector<std::unique_ptr<e2e::TempFolder>> homes;
    std::vector<std::string> exes;
    for (int p = 0; p < programs; ++p) {
        homes.push_back(std::make_unique<e2e::TempFolder>());
        e2e::WriteLogSettings(*homes.back(), shared.Path(), "<B>");
        exes.push_back(*homes.back() / "Zentrok.exe");
        Require(CopyFileA(zentrokExe.c_str(), exes.back().c_str(), FALSE), "can't copy " + zentrokExe);
    }
    e2e::WriteBytes(log, bench::SampleLog(lines));
    {
        e2e::LogonStorm storm(exes, std::to_string(2 * lines));
        const std::vector<DWORD> up = storm.WaitForIcons(60000);
        Require(storm.Boxes().empty() && std::count(up.begin(), up.end(), 0u) == 0, "not every program logged on");
        Report("bigstorm.longest.ms", *std::max_element(up.begin(), up.end()));
    }
    e2e::WriteBytes(log, bench::SampleLog(lines));
    RunTimer(Quoted(Beside("baseline_log.exe")) + " " + Quoted(log) + " " + std::to_string(programs) +
                 " bigstorm.plain " + Quoted(results) + " plain", results);
    Report("bigstorm.programs", programs);
    Report("bigstorm.lines", lines);
}

// The session end's answer with each record also sent to a local rsyslog over TCP,
// without forwarding, and with a collector that refuses or never answers, turn about.
void Forwarding(const Plan& plan, const std::string& zentrokExe)
{
    e2e::Collector collector;
    Require(collector.Start(), "rsyslog did not start");
    const e2e::StuckCollector silent(true);
    const auto to = [](int port) { return "[Syslog]\r\nServer=127.0.0.1\r\nPort=" + std::to_string(port) + "\r\n"; };
    const std::pair<const char*, std::string> cases[] = {
        {"on", to(collector.Port())}, {"off", ""}, {"refused", to(e2e::FreePort())}, {"silent", to(silent.Port())}};
    std::vector<std::unique_ptr<Resident>> programs;
    for (const auto& [name, ini] : cases) {
        programs.push_back(std::make_unique<Resident>(name, zentrokExe, ZENTROK_MAIN_CLASS, "Zentrok.txt"));
        programs.back()->Settings(ini);
        programs.back()->Start();
    }
    for (int i = 0; i < plan.forwardQueries; ++i)
        for (const auto& program : programs) Report("forward." + program->Name() + ".ms", program->QueryEndSession());
}

int Insert(int argc, char** argv)
{
    const int maxLines = argc > 6 ? std::atoi(argv[6]) : 1000;
    zentrok::WinLogFile files;
    int serial = 0;
    return bench::InsertionMain(argc - 1, argv + 1, [&](const std::string& log) {
        zentrok::AddLogLine(files, log, bench::SampleLine(++serial), maxLines);
    });
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "insert") return Insert(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: zentrok_bench <Zentrok.exe> [--smoke | --storm | --bigstorm | --forward]\n");
        return 2;
    }
    const std::string option = argc > 2 ? argv[2] : "";
    const Plan& plan = option == "--smoke" ? Smoke : Full;
    const std::string zentrokExe = e2e::FromBuildPath(argv[1]);
    try {
        if (option == "--storm") {
            Storm(plan, zentrokExe);
            return 0;
        }
        if (option == "--forward") {
            Forwarding(plan, zentrokExe);
            return 0;
        }
        if (option == "--bigstorm") {
            BigStorm(plan, zentrokExe);
            return 0;
        }
        Insertions(plan);
        StartAndIdle(plan, zentrokExe);
        SessionEnd(plan, zentrokExe);
        Storm(plan, zentrokExe);
        BigStorm(plan, zentrokExe);
        Forwarding(plan, zentrokExe);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zentrok_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
