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
constexpr error::Code Gone = error::PathNotFound;

// The log's share and the program's folder, each a disk of its own.
struct Place {
    test::FakeDisk share, local;
    DiskLogFile logs{share};
    DiskLogFile pendingFiles{local};
    KeptLines pending{pendingFiles, pendingPath};

    void Keep(const std::string& time, const std::string& log, const std::string& line)
    {
        local.files[pendingPath].content += PendingEntry({time, log, line}) + "\r\n";
    }
    // Every update of the share fails until the next call (as when it can't be reached).
    void ShareDown(bool down) { share.faults["Lock"] = down ? std::deque<error::Code>(100, Gone) : std::deque<error::Code>{}; }
    std::optional<KeptCount> Write(const std::string& log, const std::string& line, bool everyLog = true,
                                   std::int32_t maxLines = 1000)
    {
        return WritePendingLines(logs, pending, PendingLine{"2026/12/09 09:00:00.000", log, line}, maxLines, everyLog);
    }
};
} // namespace

TEST(Pending, ALineThatCantBeWrittenIsKeptAndGoesInLaterWithTheNextOneInTimeOrder)
{
    Place place;
    place.share.files[logB] = {"older\r\n"};
    EXPECT_EQ(place.Write(logB, "first")->lines, 0u);
    EXPECT_FALSE(place.local.Has(pendingPath));  // nothing kept, nothing touched

    place.ShareDown(true);
    EXPECT_EQ(place.Write(logB, "second")->lines, 1u);  // no error: kept
    EXPECT_EQ(place.local.Content(pendingPath), "2026/12/09 09:00:00.000\t" + logB + "\tsecond\r\n");
    // A copy sharing the folder kept one too, a little earlier.
    place.Keep("2026/12/09 08:59:59.500", logB, "other copy");

    place.ShareDown(false);
    const auto after = place.Write(logB, "third");
    EXPECT_EQ(after->lines, 0u);
    // The equal times keep the order they were made in; the file is gone once emptied.
    EXPECT_EQ(place.share.Content(logB), "third\r\nsecond\r\nother copy\r\nfirst\r\nolder\r\n");
    EXPECT_FALSE(place.local.Has(pendingPath));
    EXPECT_EQ(place.share.Content(logB).find("second"), place.share.Content(logB).rfind("second"));
}

TEST(Pending, EachLineGoesToItsOwnLogAndTheSessionEndTriesOnlyItsOwn)
{
    struct Case {
        bool everyLog;
        bool shareADown;
        std::string logA, logB;
        std::size_t kept;
    } cases[] = {
        {true, false, "yesterday\r\n", "today\r\nnew\r\n", 0},
        {false, false, "(none)", "today\r\nnew\r\n", 1},  // the session end: yesterday's waits
        {true, true, "(none)", "today\r\nnew\r\n", 1},
    };
    for (const Case& c : cases) {
        Place place;
        place.share.files[logB] = {"new\r\n"};
        place.Keep("2026/12/08 23:59:00.000", logA, "yesterday");
        if (c.shareADown) place.share.faults["Lock"] = {error::None, Gone};  // B first, then A
        EXPECT_EQ(place.Write(logB, "today", c.everyLog)->lines, c.kept);
        EXPECT_EQ(place.share.Content(logA), c.logA);
        EXPECT_EQ(place.share.Content(logB), c.logB);
    }
}

TEST(Pending, WithoutThePendingFileTheLineFailsAsItWouldWithoutKeeping)
{
    Place place;
    place.ShareDown(true);
    place.local.faults["Lock"] = std::deque<error::Code>(100, error::AccessDenied);
    place.local.faults["LockLogItself"] = std::deque<error::Code>(100, error::AccessDenied);
    EXPECT_THROW(place.Write(logB, "line"), ZentrokError);
    EXPECT_FALSE(place.local.Has(pendingPath));
}

TEST(Pending, AtMostTenThousandAreKeptAndTheLetGoAreCounted)
{
    Place place;
    for (int i = 0; i < 10004; ++i) place.Keep("2026/12/08 10:00:00.000", logA, "l" + std::to_string(i));
    place.local.files[pendingPath].content += "damaged line\r\n";
    place.ShareDown(true);
    const auto kept = place.Write(logB, "new");
    EXPECT_EQ(kept->lines, 10000u);
    EXPECT_EQ(kept->dropped, 6u);
    const std::string text = place.local.Content(pendingPath);
    EXPECT_EQ(text.substr(0, 12), "#dropped 6\r\n");
    EXPECT_NE(text.find("damaged line"), std::string::npos);  // never delivered, never lost first
    EXPECT_EQ(text.find("\tl5\r\n"), std::string::npos);
    EXPECT_NE(text.find("\tl6\r\n"), std::string::npos);

    // Written at last, the cut of this run applied after.
    place.ShareDown(false);
    const auto after = WritePendingLines(place.logs, place.pending, std::nullopt, 3, true);
    EXPECT_EQ(after->lines, 1u);  // the damaged line
    EXPECT_EQ(after->dropped, 6u);
    EXPECT_EQ(place.share.Content(logB), "new\r\n");
    EXPECT_EQ(place.share.Content(logA), "l10003\r\nl10002\r\nl10001\r\n");
}

TEST(Pending, SeveralLinesGoInAsOneInsertionEach)
{
    struct Case {
        std::string text;
        std::int32_t maxLines;
        std::string expected;
    } cases[] = {
        {"old1\r\nold2\r\n", 1000, "a\r\nb\r\nold1\r\nold2\r\n"},
        {"old1\r\nold2\r\n", 3, "a\r\nb\r\nold1\r\n"},
        {"old1\r\nold2\r\n", 1, "a\r\n"},
        {"old1\nold2", 0, "a\r\n"},
        {"old1\nold2", 4, "a\r\nb\r\nold1\r\nold2\r\n"},
    };
    for (Case& c : cases) {
        InsertLogLinesInPlace(c.text, {"a", "b"}, c.maxLines);
        EXPECT_EQ(c.text, c.expected) << c.maxLines;
    }
}
