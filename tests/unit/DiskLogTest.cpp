#include <gtest/gtest.h>

#include <optional>

#include "DiskLog.h"
#include "Error.h"
#include "Fakes.h"

using namespace zentrok;

namespace {
const std::string log = "C:\\Logs\\Zentrok.txt";
const std::string cant = "ファイル C:\\Logs\\Zentrok.txt を作成できません";
const std::string unreadable = "ファイル C:\\Logs\\Zentrok.txt は開けません";

// What AddLogLine raised, or "" when it wrote the line.
std::string Add(test::FakeDisk& disk, const std::string& line)
{
    DiskLogFile files(disk);
    try {
        AddLogLine(files, log, line, 1000);
    } catch (const ZentrokError& e) {
        return e.what();
    }
    return "";
}

// The names on the disk besides the log.
std::vector<std::string> Others(const test::FakeDisk& disk)
{
    std::vector<std::string> names;
    for (const auto& [name, entry] : disk.files)
        if (name != log) names.push_back(name);
    return names;
}

test::FakeDisk WithLog()
{
    test::FakeDisk disk;
    disk.files[log] = {"old\r\n"};
    return disk;
}
} // namespace

TEST(DiskLog, ReplacesThroughHelpersAndLeavesNoneBehind)
{
    test::FakeDisk disk;
    EXPECT_EQ(Add(disk, "first"), "");
    EXPECT_EQ(Add(disk, "second"), "");
    EXPECT_EQ(disk.Content(log), "second\r\nfirst\r\n");
    EXPECT_FALSE(disk.files[log].helper);
    EXPECT_EQ(Others(disk), std::vector<std::string>{});
    EXPECT_EQ(disk.lockKind, "file");
}

// Whatever state a failed replacement leaves, a log is there afterwards, old or new.
TEST(DiskLog, AHalfDoneReplacementAlwaysLeavesALog)
{
    using Faults = std::map<std::string, std::deque<error::Code>>;
    struct Case {
        Faults faults;
        std::string reported, log;
    };
    const Case cases[] = {
        // 1176: the old log is gone, the new content only under the temporary name.
        {{{"Replace", {error::UnableToMoveReplacement}}}, "", "new\r\nold\r\n"},
        // The same, and the temporary file won't move either: written directly.
        {{{"Replace", {error::UnableToMoveReplacement}}, {"Move", {error::AccessDenied}}}, "", "new\r\nold\r\n"},
        // 1177: the old log under the backup name. The new one goes in when it can...
        {{{"Replace", {error::UnableToMoveReplacement2}}}, "", "new\r\nold\r\n"},
        // ...else the old one comes back and the record is reported lost.
        {{{"Replace", {error::UnableToMoveReplacement2}}, {"Move", {error::AccessDenied}}}, cant, "old\r\n"},
    };
    for (const Case& c : cases) {
        test::FakeDisk disk = WithLog();
        disk.faults = c.faults;
        EXPECT_EQ(Add(disk, "new"), c.reported) << "case " << &c - cases;
        EXPECT_EQ(disk.Content(log), c.log) << "case " << &c - cases;
        EXPECT_EQ(Others(disk), std::vector<std::string>{}) << "case " << &c - cases;
    }

    // Nothing can be put back: the only copy stays, and the next writer makes it the log.
    test::FakeDisk disk = WithLog();
    disk.faults["Replace"] = {error::UnableToMoveReplacement};
    disk.faults["Move"] = {error::AccessDenied};
    disk.faults["Rewrite"] = {error::AccessDenied};
    EXPECT_EQ(Add(disk, "new"), cant);
    EXPECT_FALSE(disk.Has(log));
    ASSERT_EQ(Others(disk).size(), 1u);
    EXPECT_EQ(disk.Content(Others(disk)[0]), "new\r\nold\r\n");
    EXPECT_EQ(Add(disk, "next"), "");
    EXPECT_EQ(disk.Content(log), "next\r\nnew\r\nold\r\n");
    EXPECT_EQ(Others(disk), std::vector<std::string>{});
}

TEST(DiskLog, OnlyNotFoundMeansThereIsNoLog)
{
    test::FakeDisk disk = WithLog();
    disk.faults["Info"] = {59};  // an unexpected network error
    EXPECT_EQ(Add(disk, "new"), unreadable);
    EXPECT_EQ(disk.Content(log), "old\r\n");

    // The same from the look just before the replacement.
    disk.faults["Probe"] = {59};
    EXPECT_EQ(Add(disk, "new"), cant);
    EXPECT_EQ(disk.Content(log), "old\r\n");
    EXPECT_EQ(Others(disk), std::vector<std::string>{});

    test::FakeDisk fresh;
    fresh.faults["Info"] = {error::PathNotFound};
    EXPECT_EQ(Add(fresh, "new"), "");
    EXPECT_EQ(fresh.Content(log), "new\r\n");
}

TEST(DiskLog, LeavesOtherPeoplesFilesAloneAndSweepsItsOwn)
{
    test::FakeDisk disk = WithLog();
    disk.files[log + ".1234.tmp"] = {"user's own"};
    disk.files[log + ".1234.bak"] = {"user's backup"};
    disk.files[log + ".77.tmp"] = {"a dead writer's", true};
    disk.files[log + ".x.tmp"] = {"marked, but not our name", true};
    disk.files[log + ".88.tmp"] = {"unmarked"};
    EXPECT_EQ(Add(disk, "new"), "");
    EXPECT_EQ(disk.Content(log), "new\r\nold\r\n");
    EXPECT_EQ(Others(disk), (std::vector<std::string>{log + ".1234.bak", log + ".1234.tmp", log + ".88.tmp", log + ".x.tmp"}));
    EXPECT_EQ(disk.Content(log + ".1234.tmp"), "user's own");
    EXPECT_EQ(disk.Content(log + ".1234.bak"), "user's backup");
}

TEST(DiskLog, WritesInPlaceWhereTheFolderOrItsFileSystemWontReplace)
{
    // No file may be created in the folder: no lock file, no temporary file.
    test::FakeDisk disk = WithLog();
    disk.faults["Lock"] = {error::AccessDenied};
    disk.faults["CreateHelper"] = {error::AccessDenied};
    EXPECT_EQ(Add(disk, "new"), "");
    EXPECT_EQ(disk.lockKind, "log");
    EXPECT_EQ(disk.Content(log), "new\r\nold\r\n");
    EXPECT_EQ(Others(disk), std::vector<std::string>{});

    // Nor is there a log to write into.
    test::FakeDisk empty;
    empty.faults["Lock"] = {error::AccessDenied};
    EXPECT_EQ(Add(empty, "new"), cant);

    // Files may be created but not renamed or deleted, or the file system can't replace.
    for (error::Code code : {error::AccessDenied, error::UnableToRemoveReplaced, error::NotSupported}) {
        disk = WithLog();
        disk.faults["Replace"] = {code};
        EXPECT_EQ(Add(disk, "new"), "") << code;
        EXPECT_EQ(disk.Content(log), "new\r\nold\r\n") << code;
    }

    // A short write in place is reported as one.
    disk = WithLog();
    disk.faults["CreateHelper"] = {error::AccessDenied};
    disk.faults["Rewrite"] = {error::WriteCut};
    EXPECT_EQ(Add(disk, "new"), "ストリームへの書き込みエラー");

    // A log someone holds open is not written behind their back.
    disk = WithLog();
    disk.readerHoldsLog = true;
    EXPECT_EQ(Add(disk, "new"), cant);
    EXPECT_EQ(disk.Content(log), "old\r\n");
    EXPECT_EQ(Others(disk), std::vector<std::string>{});
}

// On a slow share every step takes long: the whole update still ends within its deadline.
TEST(DiskLog, OneDeadlineForTheWholeUpdate)
{
    for (std::uint32_t slow : {0u, 50u, 400u, 900u}) {
        test::FakeDisk disk = WithLog();
        disk.msPerOp = slow;
        disk.readerHoldsLog = true;  // the replacement is retried until the time is up
        EXPECT_EQ(Add(disk, "new"), cant) << slow;
        // At most the step under way when the time ran out, and the temporary file's removal.
        EXPECT_LE(disk.now, DiskLogFile::Deadline + 2 * slow) << slow;
        EXPECT_GE(disk.now, DiskLogFile::Deadline) << slow;
        EXPECT_EQ(disk.Content(log), "old\r\n");

        disk = WithLog();
        disk.msPerOp = slow;
        disk.lockHeldUntil = UINT32_MAX;
        EXPECT_EQ(Add(disk, "new"), cant) << slow;
        EXPECT_LE(disk.now, DiskLogFile::LockWait + slow + 20) << slow;
    }

    // Steps so slow that the update can't finish in time: it gives up before the
    // replacement and the log stays as it was; a little faster and it gets through.
    test::FakeDisk disk = WithLog();
    disk.msPerOp = 500;
    EXPECT_EQ(Add(disk, "new"), cant);
    EXPECT_LE(disk.now, DiskLogFile::Deadline + 2 * 500);
    EXPECT_EQ(disk.Content(log), "old\r\n");
    EXPECT_EQ(Others(disk), std::vector<std::string>{});
    disk.now = 0;
    disk.msPerOp = 300;
    EXPECT_EQ(Add(disk, "new"), "");
    EXPECT_LE(disk.now, DiskLogFile::Deadline);

    // A file far larger than a log (a report's) may take its time to be written, and is put in
    // place after it; one that someone holds open is still given up within the deadline.
    for (bool held : {false, true}) {
        disk = WithLog();
        disk.msPerOp = 900;
        disk.readerHoldsLog = held;
        DiskLogFile files(disk);
        files.LeaveContentUntimed();
        const auto lock = files.LockLog(log);
        const std::uint32_t written = disk.now + 3 * 900;  // the steps before the helper's, and its own
        EXPECT_EQ(files.ReplaceAll(log, std::string("page")),
                  held ? LogFileAccess::WriteResult::CantCreate : LogFileAccess::WriteResult::Written);
        EXPECT_EQ(disk.Content(log), held ? "old\r\n" : "page");
        EXPECT_LE(disk.now, written + DiskLogFile::Deadline + 2 * 900);
    }
}

// The start-up line waits for the lock while the other writers move on, and its
// reading and writing take what the share needs; other lines keep their bounds.
TEST(DiskLog, TheStartUpLineWaitsWhileOthersMakeProgress)
{
    constexpr std::uint32_t minute = 60000;
    struct Case {
        const char* what;
        std::uint32_t heldUntil, passedEvery, msPerOp;
        bool readerHoldsLog, patient;
        std::string reported;
        std::uint32_t endsFrom, endsBy;
    } cases[] = {
        {"a queue that moves", 2 * minute, 5000, 0, false, true, "", 2 * minute, 2 * minute + 200},
        {"a holder that never moves", UINT32_MAX, 0, 0, false, true, cant, DiskLogFile::StillMost,
         DiskLogFile::StillMost + 700},
        {"a queue still moving at the cap", 11 * minute, 5000, 0, false, true, cant, DiskLogFile::PatientMost,
         DiskLogFile::PatientMost + 200},
        {"a log held open", 20000, 5000, 0, true, true, cant, 20000 + DiskLogFile::Deadline, 20000 + DiskLogFile::Deadline + 100},
        {"a slow share", 0, 0, 1000, false, true, "", 8000, 9000},
        {"a line of the running program", 20000, 5000, 0, false, false, cant, DiskLogFile::LockWait,
         DiskLogFile::LockWait + 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::FakeDisk disk = WithLog();
        disk.lockHeldUntil = c.heldUntil;
        disk.lockPassedEvery = c.passedEvery;
        disk.msPerOp = c.msPerOp;
        disk.readerHoldsLog = c.readerHoldsLog;
        DiskLogFile files(disk);
        std::string reported;
        try {
            std::optional<DiskLogFile::Patience> patient;
            if (c.patient) patient.emplace(files);
            AddLogLine(files, log, "new", 1000);
        } catch (const ZentrokError& e) {
            reported = e.what();
        }
        EXPECT_EQ(reported, c.reported);
        EXPECT_EQ(disk.Content(log), c.reported.empty() ? "new\r\nold\r\n" : "old\r\n");
        EXPECT_GE(disk.now, c.endsFrom);
        EXPECT_LE(disk.now, c.endsBy);
        EXPECT_LE(disk.longestPause, 200u);                                // a freed lock is taken soon
        EXPECT_LE(disk.lockTries, static_cast<int>(disk.now / 10) + 5);  // and not hammered
        // Once the scope is left, the next line waits the usual time again.
        disk.now = 0;
        disk.msPerOp = 0;
        disk.lockHeldUntil = UINT32_MAX;
        disk.readerHoldsLog = false;
        EXPECT_THROW(AddLogLine(files, log, "next", 1000), ZentrokError);
        EXPECT_LE(disk.now, DiskLogFile::LockWait + 50);
    }
}

TEST(DiskLog, ALogTooLargeForTheAddressSpaceIsRefused)
{
    const std::uint64_t gib4 = std::uint64_t{1} << 32;
    EXPECT_FALSE(FitsInMemory(gib4, 4096, gib4 - 1));
    EXPECT_FALSE(FitsInMemory(gib4 + 10, 4096, gib4 - 1));
    EXPECT_FALSE(FitsInMemory(gib4 - 4096, 4096, gib4 - 1));
    EXPECT_TRUE(FitsInMemory(gib4 - 4098, 4096, gib4 - 1));
    EXPECT_TRUE(FitsInMemory(gib4, 4096, std::uint64_t{1} << 62));

    test::FakeDisk disk = WithLog();
    disk.faults["Read"] = {error::FileTooLarge};
    EXPECT_EQ(Add(disk, "new"), unreadable);
    EXPECT_EQ(disk.Content(log), "old\r\n");
}
