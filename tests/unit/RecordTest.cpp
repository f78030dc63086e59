#include <gtest/gtest.h>

#include "Fakes.h"
#include "Record.h"
#include "Settings.h"

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

TEST(MakeLogRecord, AllFieldsOffInTheFileSwitchesThemAllOnWhenLoaded)
{
    test::FakeSystem system;
    test::FakeProfile profile;
    profile.values = {{"Log/LogOnOff", "0"}, {"Log/UserName", "0"}, {"Log/Date", "0"}, {"Log/MachineName", "0"}};
    SessionSettings s;
    LoadSettings(s, profile, "C:\\App\\");
    EXPECT_TRUE(s.LogOnOff && s.LogUserName && s.LogDate && s.LogMachineName);
    EXPECT_EQ(MakeLogRecord(LogoffWord, s, " - ", system), "LOGOFF - user01 - 2026/12/06 09:05:03. - PC01");
    profile.values["Log/Date"] = "1";  // one on: kept as it is
    LoadSettings(s, profile, "C:\\App\\");
    EXPECT_TRUE(s.LogDate && !s.LogOnOff && !s.LogUserName && !s.LogMachineName);
}

TEST(MakeLogRecord, UnknownNamesGetTheFallbackTexts)
{
    test::FakeSystem system;
    system.user.reset();
    system.computer.reset();
    RecordFields fields;
    EXPECT_EQ(MakeLogRecord(LogonWord, fields, "-", system), "LOGON -名前が不明-2026/12/06 09:05:03.-マシン名が不明");
}
