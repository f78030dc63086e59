#include <gtest/gtest.h>

#include "Fakes.h"
#include "Record.h"

using namespace zentrok;

namespace {
std::string Record(RecordFields fields, const std::string& separator, const char* word = LogonWord)
{
    test::FakeSystem system;
    return MakeLogRecord(word, fields, separator, system);
}
} // namespace

TEST(MakeLogRecord, JoinsTheChosenFieldsWithTheSeparator)
{
    EXPECT_EQ(Record({}, " - "), "LOGON  - user01 - 2026/12/06 09:05:03. - PC01");
    EXPECT_EQ(Record({}, " - ", LogoffWord), "LOGOFF - user01 - 2026/12/06 09:05:03. - PC01");
    EXPECT_EQ(Record({}, "\t"), "LOGON \tuser01\t2026/12/06 09:05:03.\tPC01");
    EXPECT_EQ(Record({}, ""), "LOGON user012026/12/06 09:05:03.PC01");
    EXPECT_EQ(Record({}, "／"), "LOGON ／user01／2026/12/06 09:05:03.／PC01");
    EXPECT_EQ(Record({false, false, true, false}, " - "), "2026/12/06 09:05:03.");
    EXPECT_EQ(Record({false, true, false, true}, ","), "user01,PC01");
}

TEST(MakeLogRecord, AllFieldsOffSwitchesThemAllOn)
{
    test::FakeSystem system;
    RecordFields fields{false, false, false, false};
    EXPECT_EQ(MakeLogRecord(LogoffWord, fields, " - ", system), "LOGOFF - user01 - 2026/12/06 09:05:03. - PC01");
    EXPECT_TRUE(fields.LogOnOff && fields.LogUserName && fields.LogDate && fields.LogMachineName);
}

TEST(MakeLogRecord, UnknownNamesGetTheFallbackTexts)
{
    test::FakeSystem system;
    system.user.reset();
    system.computer.reset();
    RecordFields fields;
    EXPECT_EQ(MakeLogRecord(LogonWord, fields, "-", system), "LOGON -名前が不明-2026/12/06 09:05:03.-マシン名が不明");
}
