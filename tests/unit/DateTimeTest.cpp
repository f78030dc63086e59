#include <gtest/gtest.h>

#include "DateTime.h"

using namespace zentrok;

TEST(MakeDateTimeText, IsTwentyBytesZeroPadded)
{
    EXPECT_EQ(MakeDateTimeText({2026, 3, 6, 7, 5, 3, 999}), "2026/03/06 07:05:03.");
    EXPECT_EQ(MakeDateTimeText({2026, 12, 31, 0, 0, 0, 0}), "2026/12/31 00:00:00.");
    EXPECT_EQ(MakeDateTimeText({2026, 12, 6, 23, 59, 59, 0}).size(), 20u);
}

TEST(FormatDatePattern, MinuteFollowsHourOtherwiseMonth)
{
    const ClockReading at{2004, 11, 28, 13, 45, 9, 0};
    EXPECT_EQ(FormatDatePattern("yyyymmdd'.txt'", at), "20041128.txt");
    EXPECT_EQ(FormatDatePattern("yymm'.txt'", at), "0411.txt");
    EXPECT_EQ(FormatDatePattern("yy'.txt'", {2005, 1, 1, 0, 0, 0, 0}), "05.txt");
    EXPECT_EQ(FormatDatePattern("hh':'mm", at), "13:45");      // quoted text doesn't break the link
    EXPECT_EQ(FormatDatePattern("hhddmm", at), "132811");       // another letter in between does
    EXPECT_EQ(FormatDatePattern("mm'/'hh mm ss", at), "11/13 45 09");
    EXPECT_EQ(FormatDatePattern("'it''s'", at), "its");
}

TEST(DayCount, MatchesTheUsualEpoch)
{
    EXPECT_EQ(DateValue({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_EQ(DateValue({1900, 1, 1, 0, 0, 0, 0}), 2.0);
    EXPECT_EQ(DateValue({2000, 3, 1, 0, 0, 0, 0}) - DateValue({2000, 2, 28, 0, 0, 0, 0}), 2.0);  // leap day
    EXPECT_DOUBLE_EQ(TimeValue({2026, 1, 1, 12, 0, 0, 0}), 0.5);
    EXPECT_LT(TimeValue({2026, 1, 1, 23, 59, 59, 999}), 1.0);
}
