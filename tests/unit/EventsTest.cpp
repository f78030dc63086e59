#include <gtest/gtest.h>

#include "Events.h"
#include "Fakes.h"
#include "Settings.h"

using namespace zentrok;

namespace {
// A line as the program writes it, for user01 on PC01 unless the system says otherwise.
std::string Line(const char* word, RecordFields fields = {}, const std::string& separator = " - ",
                 const char* user = "user01", const char* computer = "PC01")
{
    test::FakeSystem system;
    system.user = user;
    system.computer = computer;
    return MakeLogRecord(word, fields, separator, system) + "\r\n";
}

bool Unfinished(const std::string& log, RecordFields fields = {}, const std::string& separator = " - ")
{
    return LogonWithoutLogoff(log, fields, separator, "user01", "PC01");
}
} // namespace

TEST(EventWords, AreSixBytesLikeTheLogonWords)
{
    for (const char* word : {LockWord, UnlockWord, SleepWord, ResumeWord, RemoteConnectWord, RemoteDisconnectWord})
        EXPECT_EQ(std::string(word).size(), 6u) << word;
}

TEST(PowerEvents, OneSleepPerSuspendAndOneResumePerWake)
{
    const EventSwitches on{false, true, false, false};
    PowerEvents power;
    EXPECT_STREQ(power.Notice(PowerNotice::Suspend, on), "SLEEP ");
    EXPECT_STREQ(power.Notice(PowerNotice::Resume, on), "RESUME");  // the automatic resume
    EXPECT_EQ(power.Notice(PowerNotice::Resume, on), nullptr);      // the user's, same wake
    EXPECT_EQ(power.Notice(PowerNotice::Other, on), nullptr);
    EXPECT_STREQ(power.Notice(PowerNotice::Suspend, on), "SLEEP ");
    EXPECT_STREQ(power.Notice(PowerNotice::Resume, on), "RESUME");

    // Switched off nothing is written, but the wake is still counted.
    PowerEvents quiet;
    EXPECT_EQ(quiet.Notice(PowerNotice::Suspend, {}), nullptr);
    EXPECT_EQ(quiet.Notice(PowerNotice::Resume, {}), nullptr);
    EXPECT_EQ(quiet.Notice(PowerNotice::Resume, on), nullptr);
    // A wake whose suspend notice never came still gets its one line.
    PowerEvents fresh;
    EXPECT_STREQ(fresh.Notice(PowerNotice::Resume, on), "RESUME");
    EXPECT_EQ(fresh.Notice(PowerNotice::Resume, on), nullptr);
}

TEST(LogonWithoutLogoff, TheNewestSessionLineOfThisUserAndComputerDecides)
{
    EXPECT_FALSE(Unfinished(""));
    EXPECT_TRUE(Unfinished(Line(LogonWord)));
    EXPECT_FALSE(Unfinished(Line(LogoffWord) + Line(LogonWord)));
    EXPECT_TRUE(Unfinished(Line(LogonWord) + Line(LogoffWord) + Line(LogonWord)));
    // The extra records, other users and computers, foreign lines and our own LOGOFF with a reason.
    EXPECT_TRUE(Unfinished(Line(UnlockWord) + Line(SleepWord) + Line(LockWord) + Line(LogonWord)));
    EXPECT_TRUE(Unfinished(Line(LogoffWord, {}, " - ", "user02") + Line(LogoffWord, {}, " - ", "user01", "PC02") +
                           "hand-written note\r\n\r\n" + Line(LogonWord)));
    EXPECT_FALSE(Unfinished(Line(LogonWord, {}, " - ", "user02") + "LOGOFF - user01 - 2026/12/06 18:30:41. - PC01 - ログオフ\r\n" +
                            Line(LogonWord)));
    // A name that only begins like ours is another's; lone LF and CR line ends count too.
    EXPECT_FALSE(Unfinished(Line(LogonWord, {}, " - ", "user011") + Line(LogonWord, {}, " - ", "user01", "PC012")));
    EXPECT_TRUE(Unfinished("LOGON  - user01 - 2026/12/06 09:05:03. - PC01\nLOGOFF - user01 - 2026/12/06 08:05:03. - PC01\r"));
}

TEST(LogonWithoutLogoff, FollowsTheFieldsAndTheSeparatorInUse)
{
    // A separator that also stands inside the date and time.
    EXPECT_TRUE(Unfinished(Line(LogonWord, {}, ":"), {}, ":"));
    EXPECT_TRUE(Unfinished(Line(LogonWord, {}, ""), {}, ""));
    EXPECT_TRUE(Unfinished(Line(LogonWord, {}, "\t"), {}, "\t"));
    const RecordFields noName{true, false, true, true}, wordOnly{true, false, false, false};
    EXPECT_TRUE(Unfinished(Line(LogonWord, noName), noName));
    EXPECT_TRUE(Unfinished(Line(LogonWord, wordOnly, ",", "someone"), wordOnly, ","));
    // Lines written with other fields don't look like ours.
    EXPECT_FALSE(Unfinished(Line(LogonWord), noName));
    // Without the event word nothing can be told; all off means all on, as the loaded settings have it.
    const RecordFields noWord{false, true, true, true}, none{false, false, false, false};
    EXPECT_FALSE(Unfinished(Line(LogonWord, noWord), noWord));
    EXPECT_TRUE(Unfinished(Line(LogonWord), none));
}

TEST(EventSettings, ReadFromTheirSectionAndWrittenOnlyWhenUsed)
{
    test::FakeProfile profile;
    SessionSettings s;
    LoadSettings(s, profile, "C:\\App\\");
    EXPECT_FALSE(s.Events.Lock || s.Events.Sleep || s.Events.Remote || s.Events.EndReason);
    SaveSettings(s, profile);
    EXPECT_FALSE(profile.values.count("Events/Lock"));  // no switch on, no section: the file as before

    profile.values = {{"Events/Sleep", "1"}, {"Events/EndReason", "1"}, {"Events/Extra", "kept"}};
    LoadSettings(s, profile, "C:\\App\\");
    EXPECT_TRUE(s.Events.Sleep && s.Events.EndReason);
    EXPECT_FALSE(s.Events.Lock || s.Events.Remote);
    s.Events.Lock = true;
    s.Events.Sleep = false;
    SaveSettings(s, profile);
    EXPECT_EQ(profile.values["Events/Lock"], "1");
    EXPECT_EQ(profile.values["Events/Sleep"], "0");
    EXPECT_EQ(profile.values["Events/Remote"], "0");
    EXPECT_EQ(profile.values["Events/EndReason"], "1");
    EXPECT_EQ(profile.values["Events/Extra"], "kept");
    EXPECT_EQ(profile.values["Log/Separator"], "-");

    // Switched all off again: stored as off, not left on.
    s.Events = {};
    SaveSettings(s, profile);
    EXPECT_EQ(profile.values["Events/Lock"], "0");
    EXPECT_EQ(profile.values["Events/EndReason"], "0");
}
