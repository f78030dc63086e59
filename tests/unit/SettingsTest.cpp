#include <gtest/gtest.h>

#include "Error.h"
#include "Fakes.h"

using namespace zentrok;

namespace {
SessionSettings Load(test::FakeProfile& profile)
{
    SessionSettings s;
    LoadSettings(s, profile, "C:\\App\\");
    return s;
}

bool LogOnOffFor(const std::string& text)
{
    test::FakeProfile profile;
    profile.values["Log/LogOnOff"] = text;
    return Load(profile).LogOnOff;
}
} // namespace

TEST(LoadSettings, DefaultsWithoutAFile)
{
    test::FakeProfile profile;
    const SessionSettings s = Load(profile);
    EXPECT_EQ(s.Version, "2.00");
    EXPECT_EQ(s.Directory, "C:\\App\\");
    EXPECT_EQ(s.NameKind, 1);
    EXPECT_EQ(s.NameDate, 1);
    EXPECT_EQ(s.NameString, "Zentrok.txt");
    EXPECT_TRUE(s.LogOnOff && s.LogUserName && s.LogDate && s.LogMachineName);
    EXPECT_EQ(s.SeparatorSetting, "-");
    EXPECT_EQ(s.Separator, " - ");
    EXPECT_TRUE(profile.values.empty());
}

TEST(LoadSettings, ConvertsBooleansAndIntegers)
{
    EXPECT_FALSE(LogOnOffFor("0"));
    EXPECT_FALSE(LogOnOffFor("0x0"));
    for (const char* on : {"1", "5", "-1", "true", "false", "yes", ""}) EXPECT_TRUE(LogOnOffFor(on)) << on;

    test::FakeProfile profile;
    profile.values = {{"Name/NameKind", "7"}, {"Name/NameDate", "0"}, {"Log/UserName", "0"},
                      {"Log/Date", "0"},      {"Log/MachineName", "0"}, {"Place/Directory", ""}};
    SessionSettings s = Load(profile);
    EXPECT_EQ(s.NameKind, 7);
    EXPECT_EQ(s.NameDate, 0);
    EXPECT_FALSE(s.LogUserName || s.LogDate || s.LogMachineName);
    EXPECT_EQ(s.Directory, "");  // present but empty is not the default
    profile.values["Name/NameKind"] = "abc";
    EXPECT_EQ(Load(profile).NameKind, 1);
}

TEST(LoadSettings, DerivesTheSeparator)
{
    EXPECT_EQ(DeriveSeparator("<TAB>"), "\t");
    EXPECT_EQ(DeriveSeparator("<tab>"), "<tab>");
    EXPECT_EQ(DeriveSeparator("-"), " - ");
    EXPECT_EQ(DeriveSeparator(","), ",");
    EXPECT_EQ(DeriveSeparator(""), "");
    EXPECT_EQ(DeriveSeparator("／"), "／");
}

TEST(LoadSettings, CutsLongTextsTo2047Bytes)
{
    test::FakeProfile profile;
    profile.values["Name/NameString"] = std::string(3000, 'a');
    EXPECT_EQ(Load(profile).NameString, std::string(2047, 'a'));
}

TEST(SaveSettings, WritesAllTenKeysAndReadsBackTheSame)
{
    test::FakeProfile profile;
    profile.values["Basic/Version"] = "1.50";
    SessionSettings s = Load(profile);
    s.NameKind = -3;
    s.LogDate = false;
    s.SeparatorSetting = "<TAB>";
    SaveSettings(s, profile);
    SaveSettings(s, profile);
    EXPECT_EQ(profile.values.size(), 10u);
    EXPECT_EQ(profile.values["Basic/Version"], "1.50");
    EXPECT_EQ(profile.values["Name/NameKind"], "-3");
    EXPECT_EQ(profile.values["Log/Date"], "0");
    EXPECT_EQ(profile.values["Log/UserName"], "1");
    EXPECT_EQ(profile.flushes, 2);
    const SessionSettings back = Load(profile);
    EXPECT_EQ(back.NameKind, -3);
    EXPECT_FALSE(back.LogDate);
    EXPECT_EQ(back.Separator, "\t");
    EXPECT_EQ(back.Directory, s.Directory);
}

TEST(SaveSettings, KeepIsWrittenOnceTurnedOnAndThenKept)
{
    test::FakeProfile profile;
    SessionSettings s = Load(profile);
    for (bool keep : {true, false}) {
        s.Keep = keep;
        SaveSettings(s, profile);
        EXPECT_EQ(Load(profile).Keep, keep);
    }
    EXPECT_EQ(profile.values["Place/Keep"], "0");  // off again, but not removed
}

TEST(SaveSettings, StopsAtTheFirstKeyItCannotWrite)
{
    test::FakeProfile profile;
    profile.writesAllowed = 3;
    SessionSettings s = Load(profile);
    try {
        SaveSettings(s, profile);
        FAIL() << "no error";
    } catch (const ZentrokError& e) {
        EXPECT_EQ(std::string(e.what()), "C:\\App\\Zentrok.ini に書き込めません");
    }
    EXPECT_EQ(profile.values.size(), 3u);
    EXPECT_FALSE(profile.values.count("Name/NameDate"));
}

TEST(ProgramFolder, CutsAfterTheLastDelimiterByCharacters)
{
    EXPECT_EQ(ProgramFolder("C:\\Tools\\Zentrok.exe"), "C:\\Tools\\");
    EXPECT_EQ(ProgramFolder("C:Zentrok.exe"), "C:");
    EXPECT_EQ(ProgramFolder("C:\\\x95\x5C" "a.exe"), "C:\\");
    EXPECT_EQ(ProgramFolder("Zentrok.exe"), "");
}
