// Many writers on one log at once, as when many PCs start at 9:00 on a shared
// folder: every line arrives, once, in each writer's own order.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

#include "Driver.h"

using namespace e2e;

namespace {
constexpr int Records = 50;  // per writer

// Runs the real program again and again, two records a run, until it has written `Records`.
void ProgramLoop(const TempFolder& home, const std::string& arguments, std::atomic<int>& failures)
try {
    for (int run = 0; run < Records / 2; ++run) {
        Program zentrok(home, arguments);
        PostMessageA(zentrok.MainWindow(), WM_CLOSE, 0, 0);
        if (zentrok.WaitExit(20000) != 0u) {
            const auto box = zentrok.WaitMessageBox(100);
            ADD_FAILURE() << "run " << run << (box ? ": " + box->text : ": no exit");
            ++failures;
            return;
        }
    }
} catch (const std::exception& e) {
    ADD_FAILURE() << e.what();
    ++failures;
}

// A program's home folder whose settings send its log to `log` and mark its records with `mark`.
void Settings(const TempFolder& home, const std::string& logFolder, const std::string& mark)
{
    WriteBytes(home / "Zentrok.ini", "[Place]\r\nDirectory=" + logFolder + "\\\r\n[Log]\r\nSeparator=" + mark + "\r\n");
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
        Settings(*homes.back(), shared.Path(), "<P" + std::to_string(p) + ">");
    }
    const std::string spellings[] = {log, "Zentrok.txt", shared / "..\\" + shared.Path().substr(shared.Path().rfind('\\') + 1) + "\\Zentrok.txt",
                                     "\\\\?\\" + log};
    std::vector<HANDLE> writers;
    for (int w = 0; w < 4; ++w)
        writers.push_back(StartProcess(WriterCommand(spellings[w], "W" + std::to_string(w + 1), maxLines), shared.Path()));
    for (auto& home : homes)
        programs.emplace_back([&, h = home.get()] { ProgramLoop(*h, maxLines == 1000 ? "" : std::to_string(maxLines), failures); });

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
    EXPECT_EQ(static_cast<int>(lines.size()), std::min(8 * Records, maxLines));
    EXPECT_FALSE(Exists(log + ".lock"));
    EXPECT_EQ(FileNames(shared.Path()).size(), 1u);  // no temporary or lock file left
    if (maxLines < 8 * Records) return;  // which writers' lines survived the cut depends on timing

    const auto by = ByWriter(lines);
    for (int w = 1; w <= 4; ++w) ExpectWriterOrder(by.at("W" + std::to_string(w)), "W" + std::to_string(w), Records, Records);
    for (int p = 1; p <= 4; ++p) {
        const auto& own = by.at("<P" + std::to_string(p) + ">");
        ASSERT_EQ(static_cast<int>(own.size()), Records);
        for (int i = 0; i < Records; ++i)  // newest first: a logoff above each logon
            EXPECT_EQ(own[i].substr(0, 6), i % 2 == 0 ? "LOGOFF" : "LOGON ") << p << " " << i;
    }
}
} // namespace

TEST(Concurrency, EightWritersLoseNothing) { Race(1000); }

TEST(Concurrency, EightWritersCutTheLogCorrectly) { Race(100); }

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
    EXPECT_LT(GetTickCount() - start, 4000u);
    EXPECT_EQ(Lines(ReadBytes(log)).size(), static_cast<std::size_t>(Records));
    EXPECT_FALSE(Exists(log + ".lock"));
}

TEST(Concurrency, AWriterHoldingTheLockTooLongGivesTheCreationErrorInBoundedTime)
{
    TempFolder shared, home;
    const std::string log = shared / "Zentrok.txt";
    WriteBytes(log, "old\r\n");
    HANDLE holder = StartProcess("\"" + LogWriterExe() + "\" \"" + log + "\" hold");
    ASSERT_TRUE(WaitUntil([&] { return Exists(log + ".lock"); }));
    Settings(home, shared.Path(), "-");
    const DWORD start = GetTickCount();
    {
        Program zentrok(home);
        const auto box = zentrok.WaitMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text, "ファイル " + log + " を作成できません.");
        const DWORD waited = GetTickCount() - start;
        EXPECT_GE(waited, 1400u);  // it waited for the lock, then gave up
        EXPECT_LT(waited, 4000u);
        PressOk(*box);
    }
    TerminateProcess(holder, 1);
    Finish(holder);
    EXPECT_EQ(ReadBytes(log), "old\r\n");
}
