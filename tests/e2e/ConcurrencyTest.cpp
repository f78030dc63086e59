// Many writers on one log at once, as when many PCs start at 9:00 on a shared
// folder: every line arrives, once, in each writer's own order.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <set>
#include <thread>

#include "ControlIds.h"
#include "Driver.h"

using namespace e2e;

namespace {
constexpr int Records = 20;     // per core writer
constexpr int ProgramRuns = 3;  // per program: each run is a start of the real program, slow under Wine

// Every core kept busy while it lives, as on a PC that logs on with everything else.
class CpuHog {
public:
    CpuHog()
    {
        for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
            spinners_.emplace_back([this] {
                while (!stop_) spun_ = spun_ + 1;
            });
    }
    ~CpuHog()
    {
        stop_ = true;
        for (auto& t : spinners_) t.join();
    }

private:
    std::atomic<bool> stop_{false};
    volatile unsigned spun_ = 0;
    std::vector<std::thread> spinners_;
};

// Starts the real program again and again, `ProgramRuns` times, each run writing its
// logon line as at a PC's start (its icon comes once the line is in) and ending there.
void ProgramLoop(const TempFolder& home, const std::string& arguments, std::atomic<int>& failures)
try {
    for (int run = 0; run < ProgramRuns; ++run) {
        Program zentrok(home, arguments);
        if (!WaitUntil([&] { return IconPresent(zentrok.MainWindow()); }, 60000)) {
            const auto box = zentrok.WaitMessageBox(100);
            ADD_FAILURE() << "run " << run << (box ? ": " + box->text : ": no icon");
            ++failures;
            return;
        }
    }
} catch (const std::exception& e) {
    ADD_FAILURE() << e.what();
    ++failures;
}

std::string WriterCommand(const std::string& log, const std::string& tag, int maxLines)
{
    return "\"" + LogWriterExe() + "\" \"" + log + "\" " + tag + " " + std::to_string(Records) + " " +
           std::to_string(maxLines);
}

// Every line of each writer or program, in file order (newest first).
std::map<std::string, std::vector<std::string>> ByWriter(const std::vector<std::string>& lines)
{
    std::map<std::string, std::vector<std::string>> by;
    for (const std::string& line : lines) {
        const std::size_t mark = line.find("<P");
        const std::string who = mark != std::string::npos ? line.substr(mark, 4) : line.substr(0, line.find(' '));
        by[who].push_back(line);
    }
    return by;
}

void ExpectWriterOrder(const std::vector<std::string>& lines, const std::string& tag, int newest, int count)
{
    ASSERT_EQ(static_cast<int>(lines.size()), count) << tag;
    for (int i = 0; i < count; ++i) EXPECT_EQ(lines[i], tag + " " + std::to_string(newest - i));
}

// Four copies of the program and four core writers, each from a different spelling of the log's path.
void Race(int maxLines)
{
    TempFolder shared;
    const std::string log = shared / "Zentrok.txt";
    std::vector<std::unique_ptr<TempFolder>> homes;
    std::atomic<int> failures{0};
    std::vector<std::thread> programs;
    for (int p = 1; p <= 4; ++p) {
        homes.push_back(std::make_unique<TempFolder>());
        WriteLogSettings(*homes.back(), shared.Path(), "<P" + std::to_string(p) + ">");
    }
    const std::string spellings[] = {log, "Zentrok.txt", shared / "..\\" + shared.Path().substr(shared.Path().rfind('\\') + 1) + "\\Zentrok.txt",
                                     "\\\\?\\" + log};
    std::vector<HANDLE> writers;
    for (int w = 0; w < 4; ++w)
        writers.push_back(StartProcess(WriterCommand(spellings[w], "W" + std::to_string(w + 1), maxLines), shared.Path()));
    for (auto& home : homes)
        programs.emplace_back([&, h = home.get()] { ProgramLoop(*h, maxLines == 1000 ? "" : std::to_string(maxLines), failures); });

    const CpuHog hog;
    // A reader meanwhile sees the old or the new log, never a part of one.
    std::atomic<bool> done{false};
    int reads = 0, torn = 0;
    std::thread reader([&] {
        while (!done) {
            const std::string text = ReadBytes(log);
            if (text != "(missing)" && !text.empty() && text.substr(text.size() - 2) != "\r\n") ++torn;
            ++reads;
            Sleep(3);
        }
    });
    for (HANDLE w : writers) EXPECT_EQ(Finish(w), 0u);
    for (auto& t : programs) t.join();
    done = true;
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";

    const auto lines = Lines(ReadBytes(log));
    EXPECT_EQ(static_cast<int>(lines.size()), std::min(4 * Records + 4 * ProgramRuns, maxLines));
    EXPECT_FALSE(Exists(log + ".lock"));
    EXPECT_EQ(FileNames(shared.Path()).size(), 1u);  // no temporary or lock file left
    if (maxLines < 4 * Records + 4 * ProgramRuns) return;  // which writers' lines survived the cut depends on timing

    const auto by = ByWriter(lines);
    for (int w = 1; w <= 4; ++w) ExpectWriterOrder(by.at("W" + std::to_string(w)), "W" + std::to_string(w), Records, Records);
    for (int p = 1; p <= 4; ++p) {
        const auto& own = by.at("<P" + std::to_string(p) + ">");
        ASSERT_EQ(static_cast<int>(own.size()), ProgramRuns);
        for (const std::string& line : own) EXPECT_EQ(line.substr(0, 6), "LOGON ") << p;
    }
}
} // namespace

TEST(Concurrency, EightWritersLoseNothing) { Race(1000); }

TEST(Concurrency, EightWritersCutTheLogCorrectly) { Race(50); }

TEST(Concurrency, AKilledWriterDoesNotBlockTheNextOne)
{
    TempFolder shared;
    const std::string log = shared / "Zentrok.txt";
    HANDLE holder = StartProcess("\"" + LogWriterExe() + "\" \"" + log + "\" hold");
    ASSERT_TRUE(holder);
    ASSERT_TRUE(WaitUntil([&] { return Exists(log + ".lock"); }));
    TerminateProcess(holder, 1);
    Finish(holder);
    const DWORD start = GetTickCount();
    HANDLE next = StartProcess(WriterCommand(log, "N", 1000));
    EXPECT_EQ(Finish(next), 0u);
    EXPECT_LT(GetTickCount() - start, 15000u);  // far from the 30 s a lock that never moves is waited
    EXPECT_EQ(Lines(ReadBytes(log)).size(), static_cast<std::size_t>(Records));
    EXPECT_FALSE(Exists(log + ".lock"));
}

// At start the logon line waits for another writer's lock as long as it takes; the
// exit's line gives up after the usual bound.
TEST(Concurrency, TheLogonLineWaitsForABusyLockAndTheExitLineDoesNot)
{
    TempFolder shared, home;
    const std::string log = shared / "Zentrok.txt";
    WriteBytes(log, "old\r\n");
    const auto hold = [&] {
        HANDLE holder = StartProcess("\"" + LogWriterExe() + "\" \"" + log + "\" hold");
        EXPECT_TRUE(WaitUntil([&] { return Exists(log + ".lock"); }));
        return holder;
    };
    HANDLE holder = hold();
    WriteLogSettings(home, shared.Path(), "-");
    const DWORD start = GetTickCount();
    std::thread release([&] {
        Sleep(3000);  // twice what a line of the running program waits
        TerminateProcess(holder, 1);
    });
    Program zentrok(home);  // returns once the program is idle: its start-up is done
    release.join();
    Finish(holder);
    EXPECT_GE(GetTickCount() - start, 3000u);
    EXPECT_FALSE(zentrok.WaitMessageBox(0));
    EXPECT_TRUE(WaitUntil([&] { return IconPresent(zentrok.MainWindow()); }));
    EXPECT_TRUE(IsRecord(Lines(ReadBytes(log)).at(0), "LOGON ", "0000", "9999"));

    holder = hold();
    const DWORD exitStart = GetTickCount();
    PostMessageA(zentrok.MainWindow(), WM_CLOSE, 0, 0);
    const auto box = zentrok.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "ファイル " + log + " を作成できません.");
    const DWORD waited = GetTickCount() - exitStart;
    EXPECT_GE(waited, 1400u);
    EXPECT_LT(waited, 5000u);  // within what Windows waits at a session end
    PressOk(*box);
    TerminateProcess(holder, 1);
    Finish(holder);
    EXPECT_EQ(Lines(ReadBytes(log)).size(), 2u);
}

// Fifty PCs logging on at once to one log on a slow share, every core busy: every
// logon line lands, no box, no helper file left.
TEST(Concurrency, FiftyProgramsStartingAtOnceOnASlowShareAllLogOn)
{
    constexpr DWORD StillMost = 30000;  // a program gives up when no other writer moved for so long
    constexpr int Programs = 50;
    constexpr int OldLines = 1000000;  // each update reads and writes some 50 MB
    TempFolder shared;
    const std::string log = shared / "Zentrok.txt";
    std::string old;
    for (int i = 0; i < OldLines; ++i) old += "OLD    - someone - 2026/12/01 09:00:00. - PC\r\n";
    WriteBytes(log, old);
    std::vector<std::unique_ptr<TempFolder>> homes;
    std::vector<std::string> exes;
    for (int p = 0; p < Programs; ++p) {
        homes.push_back(std::make_unique<TempFolder>());
        WriteLogSettings(*homes.back(), shared.Path(), "<P" + std::to_string(100 + p) + ">");
        exes.push_back(*homes.back() / "Zentrok.exe");
        ASSERT_TRUE(CopyFileA(ZentrokExe.c_str(), exes.back().c_str(), FALSE));
    }
    {
        const CpuHog hog;
        LogonStorm storm(exes, "2000000");
        // The icon comes after the logon line; a program that gave up shows a box instead.
        const std::vector<DWORD> up = storm.WaitForIcons(2 * StillMost);
        for (const std::string& box : storm.Boxes()) ADD_FAILURE() << "a box: " << box;
        EXPECT_EQ(std::count(up.begin(), up.end(), 0u), 0) << "programs that never showed their icon";
        std::printf("%d programs: the longest start until the icon took %lu ms\n", Programs,
                    *std::max_element(up.begin(), up.end()));
    }
    const auto lines = Lines(ReadBytes(log));
    ASSERT_EQ(static_cast<int>(lines.size()), OldLines + Programs);
    std::set<std::string> marks;
    for (int i = 0; i < Programs; ++i) {
        EXPECT_EQ(lines[i].substr(0, 6), "LOGON ") << i;
        marks.insert(lines[i].substr(6, 6));
    }
    EXPECT_EQ(static_cast<int>(marks.size()), Programs);
    EXPECT_EQ(FileNames(shared.Path()), std::vector<std::string>{"Zentrok.txt"});
}
