#include <gtest/gtest.h>

#include "LogText.h"

using namespace zentrok;
using namespace std::string_literals;

TEST(InsertLogLine, PutsTheLineOnTopAndEndsEveryLineWithCrLf)
{
    EXPECT_EQ(InsertLogLine("", "new", 1000), "new\r\n");
    EXPECT_EQ(InsertLogLine("a\r\nb\r\n", "new", 1000), "new\r\na\r\nb\r\n");
    EXPECT_EQ(InsertLogLine("a\nb\n", "new", 1000), "new\r\na\r\nb\r\n");
    EXPECT_EQ(InsertLogLine("a\rb\r", "new", 1000), "new\r\na\r\nb\r\n");
    EXPECT_EQ(InsertLogLine("a\r\nb", "new", 1000), "new\r\na\r\nb\r\n");       // last line without an end
    EXPECT_EQ(InsertLogLine("a\n\r\nb\r\r\n", "new", 1000), "new\r\na\r\n\r\nb\r\n\r\n");  // empty lines stay
    EXPECT_EQ(InsertLogLine("\r\n", "new", 1000), "new\r\n\r\n");
    EXPECT_EQ(InsertLogLine("\n\r", "new", 1000), "new\r\n\r\n\r\n");  // LF, then a lone CR: two empty lines
}

TEST(InsertLogLine, CutsToMaxLinesDroppingTheOldest)
{
    EXPECT_EQ(InsertLogLine("1\r\n2\r\n3\r\n", "new", 3), "new\r\n1\r\n2\r\n");   // exactly full
    EXPECT_EQ(InsertLogLine("1\r\n2\r\n3\r\n4\r\n5\r\n", "new", 3), "new\r\n1\r\n2\r\n");  // over-full
    EXPECT_EQ(InsertLogLine("1\r\n", "new", 3), "new\r\n1\r\n2\r\n"s.substr(0, 8));  // grows by one
    EXPECT_EQ(InsertLogLine("\r\n\r\n\r\n", "new", 2), "new\r\n\r\n");  // empty lines count
    EXPECT_EQ(InsertLogLine("1\r\n", "new", 1), "new\r\n");
}

TEST(InsertLogLine, CarriesForeignBytesOverUnchanged)
{
    const std::string odd = "x\0y\x81\r\n\xff\xfe\x00z"s;
    EXPECT_EQ(InsertLogLine(odd, "new", 1000), "new\r\nx\0y\x81\r\n\xff\xfe\x00z\r\n"s);
}

TEST(InsertLogLine, StaysLinearOnPathologicalInput)
{
    // A million lone CRs followed by one LF: each scan must not restart from the top.
    std::string crs(1000000, '\r');
    crs += '\n';
    const std::string out = InsertLogLine(crs, "n", 2147483647);
    EXPECT_EQ(out.size(), 3u + 2u * 1000000u);
    const std::string lfs(1000000, '\n');
    EXPECT_EQ(InsertLogLine(lfs, "n", 2147483647).size(), 3u + 2u * 1000000u);
}

// A log of CR LF lines is copied in blocks; the line ends around and across the blocks'
// edges must be seen as the line-by-line reading sees them.
TEST(InsertLogLine, ReadsLargeLogsAsLineByLine)
{
    std::string log;
    for (int n = 0; log.size() < 20000; ++n) log += std::to_string(n * 7919) + "\r\n";
    const std::string lf = [&] {
        std::string s;
        for (char c : log)
            if (c != '\r') s += c;
        return s;
    }();
    for (std::int32_t maxLines : {2, 700, 1000, 2147483647}) {
        const std::string expected = InsertLogLine(lf, "new", maxLines);  // lone LFs: every line rewritten
        EXPECT_EQ(InsertLogLine(log, "new", maxLines), expected) << maxLines;
        EXPECT_EQ(InsertLogLine(log.substr(0, log.size() - 2), "new", maxLines), expected) << maxLines;  // no last end
    }
    for (std::size_t at : {std::size_t{4095}, std::size_t{4096}, std::size_t{8191}, log.size() - 1}) {
        while (log[at] == '\r' || log[at] == '\n') --at;  // inside a line
        std::string lone = log;
        lone.insert(at, "\r");  // a lone CR: one more line
        std::string split = lone;
        split.insert(at + 1, "\n");
        EXPECT_EQ(InsertLogLine(lone, "new", 2147483647), InsertLogLine(split, "new", 2147483647)) << at;
        std::string bare = log;
        bare.insert(at, "\n");  // a lone LF
        EXPECT_EQ(InsertLogLine(bare, "new", 2147483647), InsertLogLine(split, "new", 2147483647)) << at;
    }
    EXPECT_EQ(InsertLogLine(log + "5\r", "new", 2147483647), InsertLogLine(log + "5\r\n", "new", 2147483647));
}

TEST(InsertLogLineInPlace, GivesWhatTheCopyGives)
{
    for (const std::string log : {""s, "1\r\n2\r\n3\r\n"s, "1\r\n2"s, "1\n2\r3\r\n"s, "1\r\n2\r"s, "\r\n\r\n"s}) {
        for (std::int32_t maxLines : {1, 2, 3, 1000}) {
            std::string text = log;
            InsertLogLineInPlace(text, "new", maxLines);
            EXPECT_EQ(text, InsertLogLine(log, "new", maxLines)) << log << " " << maxLines;
        }
    }
}
