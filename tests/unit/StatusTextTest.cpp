#include <gtest/gtest.h>

#include "DateTime.h"
#include "StatusText.h"

using namespace zentrok;

TEST(PlaceStatusWindow, GoesToTheCornerBesideTheTaskbar)
{
    const Area work{0, 0, 1024, 748};
    auto at = [&](int edge) { return PlaceStatusWindow(edge, work, 278, 89); };
    EXPECT_EQ(at(EdgeBottom)->left, 746);
    EXPECT_EQ(at(EdgeBottom)->top, 659);
    EXPECT_EQ(at(EdgeRight)->left, 746);
    EXPECT_EQ(at(EdgeRight)->top, 659);
    EXPECT_EQ(at(EdgeTop)->left, 746);
    EXPECT_EQ(at(EdgeTop)->top, 0);
    EXPECT_EQ(at(EdgeLeft)->left, 0);
    EXPECT_EQ(at(EdgeLeft)->top, 659);
    EXPECT_FALSE(at(4));
    EXPECT_FALSE(at(-1));
    const Area shifted{60, 30, 1024, 768};  // taskbar on the left or top
    EXPECT_EQ(PlaceStatusWindow(EdgeLeft, shifted, 278, 89)->left, 60);
    EXPECT_EQ(PlaceStatusWindow(EdgeTop, shifted, 278, 89)->top, 30);
}

TEST(FormatLongTime, FollowsTheLocale)
{
    TimeFormat f;  // 24 hours, no leading zero, ":" (ja-JP)
    EXPECT_EQ(FormatLongTime(2, 5, 3, f), "2:05:03");
    EXPECT_EQ(FormatLongTime(0, 0, 0, f), "0:00:00");
    f.leadingZero = true;
    EXPECT_EQ(FormatLongTime(2, 5, 3, f), "02:05:03");
    f = TimeFormat{false, true, false, "AM", "PM", "."};
    EXPECT_EQ(FormatLongTime(0, 1, 2, f), "12.01.02 AM");
    EXPECT_EQ(FormatLongTime(12, 0, 0, f), "12.00.00 PM");
    EXPECT_EQ(FormatLongTime(23, 59, 59, f), "11.59.59 PM");
    f.markerFirst = true;
    f.am = "午前";
    EXPECT_EQ(FormatLongTime(9, 5, 0, f), "午前 9.05.00");
}

TEST(RunningTimeText, CountsAcrossMidnightAndWholeDays)
{
    const TimeFormat f;
    auto at = [](int day, int h, int m, int s, int ms = 0) {
        const ClockReading r{2026, 12, day, h, m, s, ms};
        return DateValue(r) + TimeValue(r);
    };
    EXPECT_EQ(RunningTimeText(at(6, 9, 0, 0), at(6, 9, 0, 0), f), "起動時間合計: 0:00:00");
    EXPECT_EQ(RunningTimeText(at(6, 9, 0, 0), at(6, 11, 5, 3), f), "起動時間合計: 2:05:03");
    EXPECT_EQ(RunningTimeText(at(6, 23, 0, 0), at(7, 1, 0, 0), f), "起動時間合計: 2:00:00");
    EXPECT_EQ(RunningTimeText(at(6, 9, 0, 0), at(8, 12, 4, 5), f), "起動時間合計: 2日 3:04:05");
    EXPECT_EQ(RunningTimeText(at(6, 9, 0, 0), at(7, 9, 0, 0), f), "起動時間合計: 1日 0:00:00");
    EXPECT_EQ(RunningTimeText(at(6, 9, 0, 0, 0), at(6, 9, 0, 1, 999), f), "起動時間合計: 0:00:01");
    EXPECT_EQ(RunningTimeText(at(6, 9, 0, 0), at(6, 8, 0, 0), f), "起動時間合計: 0:00:00");  // clock set back
}

TEST(LogSizeText, ShowsTheWholeSizeOrThatThereIsNone)
{
    EXPECT_EQ(LogSizeText(0), "ログファイルサイズ: 0 Bytes.");
    EXPECT_EQ(LogSizeText(12345), "ログファイルサイズ: 12345 Bytes.");
    EXPECT_EQ(LogSizeText(5000000000ull), "ログファイルサイズ: 5000000000 Bytes.");
    EXPECT_EQ(LogSizeText(std::nullopt), "ログファイルが見つかりません。");
    EXPECT_TRUE(HasWildcard("C:\\Logs\\*.txt"));
    EXPECT_TRUE(HasWildcard("a?.txt"));
    EXPECT_FALSE(HasWildcard("C:\\表\\log.txt"));
}

TEST(IsExecutableName, KnowsWhatTheShellWouldRun)
{
    for (const char* name : {"C:\\Logs\\x.bat", "x.EXE", "a.b.cmd", "x.bat.", "x.bat  ", "x.vbs", "x.lnk", "x.Ps1",
                             "\\\\srv\\share\\user&calc.js", "log.txt:run.exe"})
        EXPECT_TRUE(IsExecutableName(name)) << name;
    for (const char* name : {"Zentrok.txt", "C:\\x.bat\\log.txt", "log", "C:\\dir.exe\\log", "x.batx", "x.log",
                             "\x95\x5C.txt", ""})
        EXPECT_FALSE(IsExecutableName(name)) << name;
}
