#include <gtest/gtest.h>

#include "Error.h"
#include "Fakes.h"
#include "LogText.h"
#include "Pending.h"

using namespace zentrok;

namespace {
const std::string logA = "\\\\server\\logs\\20261208.txt";
const std::string logB = "\\\\server\\logs\\20261209.txt";
const std::string pendingPath = "C:\\App\\Zentrok.pending";

std::deque<error::Code> Failing(error::Code code) { return std::deque<error::Code>(1000, code); }
// The first call goes well, the next ones fail.
std::deque<error::Code> ThenFailing(error::Code code)
{
    std::deque<error::Code> codes = Failing(code);
    codes.push_front(error::None);
    return codes;
}

// The log's share and the program's folder, each a disk of its own.
struct Place {
    test::FakeDisk share, local;
    DiskLogFile logs{share}, pendingFiles{local};
    KeptLines pending{pendingFiles, pendingPath, IsPendingEntry};

    void Keep(const std::string& time, const std::string& log, const std::string& line)
    {
        local.files[pendingPath].content += PendingEntry({time, log, line}) + "\r\n";
    }
    std::optional<KeptCount> Write(const std::string& line, bool everyLog = true)
    {
        return WritePendingLines(logs, pending, PendingLine{"2026/12/09 09:00:00.000", logB, line}, 1000, everyLog);
    }
};
} // namespace

TEST(Pending, ALineThatCantBeWrittenIsKeptAndGoesInOnceWithTheNextOneInTimeOrder)
{
    Place place;
    place.share.files[logB] = {"older\r\n"};
    EXPECT_EQ(place.Write("first")->lines, 0u);
    EXPECT_FALSE(place.local.Has(pendingPath));  // nothing kept, nothing touched

    place.share.faults["Lock"] = Failing(error::PathNotFound);
    EXPECT_EQ(place.Write("second")->lines, 1u);  // no error: kept
    EXPECT_EQ(place.local.Content(pendingPath), "2026/12/09 09:00:00.000\t" + logB + "\tsecond\r\n");
    place.Keep("2026/12/09 08:59:59.500", logB, "other copy");  // a copy sharing the folder, a little earlier

    place.share.faults.clear();
    EXPECT_EQ(place.Write("third")->lines, 0u);
    // Equal times keep the order they were made in; the emptied file goes.
    EXPECT_EQ(place.share.Content(logB), "third\r\nsecond\r\nother copy\r\nfirst\r\nolder\r\n");
    EXPECT_FALSE(place.local.Has(pendingPath));
}

TEST(Pending, EachLineGoesToItsOwnLogOnceTheSessionEndTriesOnlyItsOwnAndNothingIsLostUnsaid)
{
    struct Case {
        bool everyLog;
        std::deque<error::Code> shareLocks;
        std::map<std::string, std::deque<error::Code>> local;  // the pending file's disk
        std::string logA, logB;
        std::optional<std::size_t> kept;  // nothing: the kept file was out of reach
        bool raised;                      // the line's error
    } cases[] = {
        {true, {}, {}, "yesterday\r\n", "today\r\nnew\r\n", 0, false},
        {false, {}, {}, "(none)", "today\r\nnew\r\n", 1, false},  // the session end: yesterday's waits
        {true, {error::None, error::PathNotFound}, {}, "(none)", "today\r\nnew\r\n", 1, false},  // B first, then A
        {true, Failing(error::PathNotFound), {{"Lock", Failing(error::AccessDenied)}, {"LockLogItself", Failing(error::AccessDenied)}},
         "(none)", "new\r\n", std::nullopt, true},
        // A viewer holds the pending file: nothing kept goes out that couldn't be taken out of it.
        {true, {}, {{"Probe", Failing(error::SharingViolation)}}, "(none)", "today\r\nnew\r\n", std::nullopt, false},
        // It comes only after the lines went in: the program remembers they did.
        {true, {}, {{"Replace", ThenFailing(error::SharingViolation)}}, "yesterday\r\n", "today\r\nnew\r\n", 0, false},
    };
    for (const Case& c : cases) {
        Place place;
        place.share.files[logB] = {"new\r\n"};
        place.Keep("2026/12/08 23:59:00.000", logA, "yesterday");
        place.share.faults["Lock"] = c.shareLocks;
        for (const auto& [op, codes] : c.local) place.local.faults[op] = codes;
        if (c.raised) EXPECT_THROW(place.Write("today", c.everyLog), ZentrokError);
        else {
            const std::optional<KeptCount> kept = place.Write("today", c.everyLog);
            EXPECT_EQ(kept.has_value(), c.kept.has_value());
            if (kept && c.kept) EXPECT_EQ(kept->lines, *c.kept);
        }
        EXPECT_EQ(place.share.Content(logA), c.logA);
        EXPECT_EQ(place.share.Content(logB), c.logB);

        // Every minute's retry, the disks well again: each line in once.
        place.share.faults.clear();
        place.local.faults.clear();
        for (int retry = 0; retry < 2; ++retry)
            EXPECT_EQ(WritePendingLines(place.logs, place.pending, std::nullopt, 1000, true)->lines, 0u);
        EXPECT_EQ(place.share.Content(logA), "yesterday\r\n");
        EXPECT_EQ(place.share.Content(logB), c.logB);
        EXPECT_FALSE(place.local.Has(pendingPath));
    }
}

TEST(Pending, AtMostTenThousandAreKeptAndTheLetGoAreCounted)
{
    Place place;
    for (int i = 0; i < 10004; ++i) place.Keep("2026/12/08 10:00:00.000", logA, "l" + std::to_string(i));
    place.local.files[pendingPath].content += "damaged line\r\n";
    place.share.faults["Lock"] = Failing(error::PathNotFound);
    const auto kept = place.Write("new");
    EXPECT_EQ(kept->lines, 9999u);
    EXPECT_EQ(kept->unreadable, 1u);
    EXPECT_EQ(kept->dropped, 6u);
    const std::string text = place.local.Content(pendingPath);
    EXPECT_EQ(text.substr(0, 12), "#dropped 6\r\n");
    EXPECT_EQ(text.find("\tl5\r\n"), std::string::npos);
    EXPECT_NE(text.find("\tl6\r\n"), std::string::npos);

    // Written at last, the cut of this run applied after; the damaged line stays, counted apart.
    place.share.faults.clear();
    const auto left = WritePendingLines(place.logs, place.pending, std::nullopt, 3, true);
    EXPECT_EQ(left->lines, 0u);
    EXPECT_EQ(left->unreadable, 1u);
    EXPECT_EQ(place.share.Content(logA), "l10003\r\nl10002\r\nl10001\r\n");
    EXPECT_EQ(place.local.Content(pendingPath), "#dropped 6\r\ndamaged line\r\n");
}

TEST(Pending, SeveralLinesGoInAsOneInsertionEach)
{
    struct Case {
        std::string text;
        std::int32_t maxLines;
        std::string expected;
    } cases[] = {{"o1\r\no2\r\n", 3, "a\r\nb\r\no1\r\n"}, {"o1\r\no2\r\n", 1, "a\r\n"}, {"o1\no2", 0, "a\r\n"},
                 {"o1\no2", 4, "a\r\nb\r\no1\r\no2\r\n"}};
    for (Case& c : cases) {
        InsertLogLinesInPlace(c.text, {"a", "b"}, c.maxLines);
        EXPECT_EQ(c.text, c.expected) << c.maxLines;
    }
}
