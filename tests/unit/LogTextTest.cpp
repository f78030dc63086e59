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
