#include <gtest/gtest.h>

#include "Fakes.h"
#include "Naming.h"

using namespace zentrok;

namespace {
std::string Name(int kind, int date, const std::string& fixed = "Zentrok.txt", bool namesKnown = true)
{
    test::FakeSystem system;
    system.now = {2004, 11, 28, 23, 59, 0, 0};
    if (!namesKnown) {
        system.user.reset();
        system.computer.reset();
    }
    SessionSettings s;
    s.NameKind = kind;
    s.NameDate = date;
    s.NameString = fixed;
    return MakeLogFileName(s, system);
}
} // namespace

TEST(MakeLogFileName, FixedName)
{
    EXPECT_EQ(Name(1, 1, "log.txt"), "log.txt");
    EXPECT_EQ(Name(1, 1, ""), "Zentrok.txt");
    EXPECT_EQ(Name(1, 1, " odd name "), " odd name ");
}

TEST(MakeLogFileName, DateNames)
{
    EXPECT_EQ(Name(2, 1), "20041128.txt");
    EXPECT_EQ(Name(2, 2), "0411.txt");
    EXPECT_EQ(Name(2, 3), "04.txt");
    EXPECT_EQ(Name(2, 0), "20041128.txt");
    EXPECT_EQ(Name(2, 9), "20041128.txt");
}

TEST(MakeLogFileName, ComputerAndUserNamesAndTheRest)
{
    EXPECT_EQ(Name(3, 1), "PC01.txt");
    EXPECT_EQ(Name(4, 1), "user01.txt");
    EXPECT_EQ(Name(3, 1, "", false), "マシン名が不明.txt");
    EXPECT_EQ(Name(4, 1, "", false), "名前が不明.txt");
    for (int kind : {0, 5, -1}) EXPECT_EQ(Name(kind, 1, "mine.txt"), "Zentrok.txt");
}
