#include <gtest/gtest.h>

#include "Cp932.h"
#include "Error.h"
#include "Text.h"

using namespace zentrok;

TEST(StrToIntDef, ReadsDecimalAndHexadecimalNumbers)
{
    EXPECT_EQ(StrToIntDef("500", -1), 500);
    EXPECT_EQ(StrToIntDef("  +42", -1), 42);
    EXPECT_EQ(StrToIntDef("-50", -1), -50);
    EXPECT_EQ(StrToIntDef("007", -1), 7);
    EXPECT_EQ(StrToIntDef("2147483647", -1), 2147483647);
    EXPECT_EQ(StrToIntDef("-2147483648", -1), INT32_MIN);
    EXPECT_EQ(StrToIntDef("$64", -1), 100);
    EXPECT_EQ(StrToIntDef("0x64", -1), 100);
    EXPECT_EQ(StrToIntDef("X1f", -1), 31);
    EXPECT_EQ(StrToIntDef("0XfF", -1), 255);
    EXPECT_EQ(StrToIntDef("$FFFFFFFF", 0), -1);  // two's complement
    EXPECT_EQ(StrToIntDef("-$10", 0), 16);       // a sign before the prefix is ignored
    EXPECT_EQ(StrToIntDef("0x0", 7), 0);
}

TEST(StrToIntDef, AnythingElseGivesTheFallback)
{
    for (const char* text : {"", "   ", "+", "-", "$", "0x", "x", "abc", "500abc", "5 ", "1 2", "2147483648",
                             "-2147483649", "$100000000", "0x1g", "１２", "true", "\t5"})
        EXPECT_EQ(StrToIntDef(text, 77), 77) << '"' << text << '"';
}

TEST(Trim, RemovesBlanksAndControlBytesAtBothEnds)
{
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(Trim("\x01\x20"), "");
    EXPECT_EQ(Trim("表"), "表");  // double-byte characters are never trimmed
}

TEST(Cp932, ScansByWholeCharacters)
{
    // 0x95 0x5C is one character whose second byte looks like "\".
    const std::string table = "C:\\\x95\x5C\\\x95\x5C";
    EXPECT_EQ(LastDelimiter("\\:", table), 5u);
    EXPECT_EQ(FindChar("\x95\x5Cx\\", '\\'), 3u);
    EXPECT_EQ(FindChar("\x95\x5C", '\\'), npos);
    EXPECT_EQ(LastCharStart("ab\x95\x5C"), 2u);
    EXPECT_EQ(LastCharStart("a"), 0u);
    EXPECT_EQ(LastCharStart(""), npos);
    EXPECT_TRUE(IsLeadByte(0x81) && IsLeadByte(0x9F) && IsLeadByte(0xE0) && IsLeadByte(0xFC));
    EXPECT_FALSE(IsLeadByte(0x80) || IsLeadByte(0xA0) || IsLeadByte(0xDF) || IsLeadByte(0xFD));
}

TEST(ErrorBoxText, AddsAFullStopUnlessTheTextEndsInPunctuationOrLower)
{
    EXPECT_EQ(ErrorBoxText("ファイル C:\\Logs\\Zentrok.txt を作成できません"),
              "ファイル C:\\Logs\\Zentrok.txt を作成できません.");
    EXPECT_EQ(ErrorBoxText("abc"), "abc.");
    EXPECT_EQ(ErrorBoxText("abc."), "abc.");
    EXPECT_EQ(ErrorBoxText("abc!"), "abc!");
    EXPECT_EQ(ErrorBoxText("abc "), "abc ");
    EXPECT_EQ(ErrorBoxText("a-"), "a-");
    EXPECT_EQ(ErrorBoxText("a/"), "a/.");
    EXPECT_EQ(ErrorBoxText(""), "");
    EXPECT_EQ(ErrorBoxText("\x95\x2D"), "\x95\x2D.");  // a trail byte that looks like "-"
}
