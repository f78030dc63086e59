#include <gtest/gtest.h>

#include "CommandLine.h"
#include "Fakes.h"

using namespace zentrok;

TEST(GetArgument, SplitsLikeTheSystemDoes)
{
    const char* line = "\"C:\\Program Files\\Zentrok.exe\"  one\t\"two words\" th\"re\"e";
    EXPECT_EQ(GetArgument(line, 0), "C:\\Program Files\\Zentrok.exe");
    EXPECT_EQ(GetArgument(line, 1), "one");
    EXPECT_EQ(GetArgument(line, 2), "two words");
    EXPECT_EQ(GetArgument(line, 3), "three");
    EXPECT_EQ(GetArgument(line, 4), "");
    EXPECT_EQ(GetArgument("z.exe \"\"abc", 1), "abc");      // a leading pair of quotes is skipped
    EXPECT_EQ(GetArgument("z.exe \"open end", 1), "open end");  // a quote runs to the end
    EXPECT_EQ(GetArgument("z.exe \x01" "a\x1f" "b", 1), "a");   // control bytes separate
    EXPECT_EQ(GetArgument("z.exe \x95\x22x", 1), "\x95\x22x");  // a double-byte character stays whole
    EXPECT_EQ(GetArgument("z.exe", 1), "");
}

struct CommandLineCase {
    const char* arguments;
    bool protect;
    std::int32_t maxLines;
};

class CommandLineTable : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTable, GivesProtectModeAndLineCount)
{
    test::FakeSystem system;
    const std::string line = std::string("Zentrok.exe ") + GetParam().arguments;
    EXPECT_EQ(IsProtectMode(line, system), GetParam().protect);
    EXPECT_EQ(LineCountFromCommandLine(line), GetParam().maxLines);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTable,
    ::testing::Values(CommandLineCase{"", false, 1000}, CommandLineCase{"PROTECT", true, 1000},
                      CommandLineCase{"protect", true, 1000}, CommandLineCase{"PROTECT 500", true, 500},
                      CommandLineCase{"500 PROTECT", true, 500}, CommandLineCase{"PROTECT 5", true, 1000},
                      CommandLineCase{"5", false, 1000}, CommandLineCase{"9", false, 1000},
                      CommandLineCase{"10", false, 10}, CommandLineCase{"abc", false, 1000},
                      CommandLineCase{"20 30", false, 20}, CommandLineCase{"5 30", false, 30},
                      CommandLineCase{"abc 30", false, 30}, CommandLineCase{"-50", false, 1000},
                      CommandLineCase{"$64", false, 100}, CommandLineCase{"0x64", false, 100},
                      CommandLineCase{"500abc", false, 1000}, CommandLineCase{"2147483648", false, 1000},
                      CommandLineCase{"2147483647", false, 2147483647}, CommandLineCase{"a b PROTECT", false, 1000},
                      CommandLineCase{"PROTECT PROTECT", true, 1000}, CommandLineCase{"\"PROTECT\"", true, 1000},
                      CommandLineCase{"PrOtEcT", true, 1000}, CommandLineCase{"PROTECTED", false, 1000},
                      CommandLineCase{"\" 50\"", false, 50}, CommandLineCase{"10 20 30", false, 10}));
