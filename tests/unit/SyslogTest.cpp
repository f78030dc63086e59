#include <gtest/gtest.h>

#include "Fakes.h"
#include "FirstAddress.h"
#include "Syslog.h"

using namespace zentrok;

TEST(Syslog, SettingsFallBackToTheDefaults)
{
    struct Case {
        std::string port, protocol;
        std::int32_t expectedPort;
        bool udp;
    } cases[] = {{"", "", 514, false},        {"6514", "udp", 6514, true}, {"0", "Udp", 514, true},
                 {"65536", "tcp", 514, false}, {"abc", "SCTP", 514, false}, {"65535", " UDP ", 65535, true}};
    for (const Case& c : cases) {
        test::FakeProfile profile;
        profile.values = {{"Syslog/Server", " logs.example "}};
        if (!c.port.empty()) profile.values["Syslog/Port"] = c.port;
        if (!c.protocol.empty()) profile.values["Syslog/Protocol"] = c.protocol;
        const SyslogSettings s = ReadSyslogSettings(profile);
        EXPECT_EQ(s.Server, "logs.example");
        EXPECT_EQ(s.Port, c.expectedPort) << c.port;
        EXPECT_EQ(s.Udp, c.udp) << c.protocol;
    }
    EXPECT_EQ(SyslogHost("[::1]"), "::1");
    EXPECT_EQ(SyslogHost("::1"), "::1");
    EXPECT_EQ(SyslogHostName(std::string("pc01"), "PC01"), "pc01");
    EXPECT_EQ(SyslogHostName(std::nullopt, "PC01"), "PC01");
    EXPECT_EQ(SyslogHostName(std::string(""), "経理PC"), "-");
}

TEST(Syslog, TheMessageAsTheRfcHasItWithItsValuesEscaped)
{
    SyslogRecord r;
    r.at = {2026, 12, 7, 8, 55, 3, 120};
    r.utcOffsetMinutes = 540;
    r.host = "pc01";
    r.processId = 4242;
    r.word = "LOGOFF";
    r.user = "a\"b\\c]d";
    r.computer = "PC01";
    r.reason = "ログオフ";
    r.line = "LOGOFF - a\"b\\c]d - 2026/12/07 08:55:03. - PC01 - ログオフ";
    EXPECT_EQ(SyslogMessage(r), "<38>1 2026-12-07T08:55:03.120+09:00 pc01 Zentrok 4242 LOGOFF [zentrok@32473 "
                                "event=\"LOGOFF\" user=\"a\\\"b\\\\c\\]d\" computer=\"PC01\" reason=\"ログオフ\"] "
                                "\xEF\xBB\xBF" + r.line);
    r.word = "LOCK  ";
    r.eventField = false;
    r.user = r.reason = std::nullopt;
    r.utcOffsetMinutes = -210;
    r.line = "PC01";
    EXPECT_EQ(SyslogMessage(r), "<38>1 2026-12-07T08:55:03.120-03:30 pc01 Zentrok 4242 LOCK [zentrok@32473 "
                                "computer=\"PC01\"] \xEF\xBB\xBFPC01");
    r.utcOffsetMinutes = 0;
    EXPECT_NE(SyslogMessage(r).find("T08:55:03.120Z pc01"), std::string::npos);
    EXPECT_EQ(OctetCounted("<38>1 x"), "7 <38>1 x");
}

namespace {
// A collector that takes the first `takes` messages of each send.
struct FakeCollector : SyslogTransport {
    std::size_t takes = 0;  // how many of each send it takes
    std::vector<std::string> got;
    std::size_t Send(const std::vector<std::string>& messages) override
    {
        const std::size_t n = std::min(takes, messages.size());
        got.insert(got.end(), messages.begin(), messages.begin() + static_cast<std::ptrdiff_t>(n));
        return n;
    }
};
} // namespace

TEST(Syslog, WhatCantBeSentIsSpooledAndGoesFirstOldestFirst)
{
    test::FakeDisk disk;
    DiskLogFile files(disk);
    KeptLines spool(files, "C:\\App\\Zentrok.spool");
    FakeCollector collector;
    EXPECT_EQ(ForwardMessages(collector, spool, std::string("m1"))->lines, 1u);  // the collector is down
    EXPECT_EQ(ForwardMessages(collector, spool, std::string("m2"))->lines, 2u);
    collector.takes = 2;  // back, but the connection breaks after two
    EXPECT_EQ(ForwardMessages(collector, spool, std::string("m3"))->lines, 1u);
    EXPECT_EQ(disk.Content("C:\\App\\Zentrok.spool"), "m3\r\n");
    collector.takes = 100;
    EXPECT_EQ(ForwardMessages(collector, spool, std::nullopt)->lines, 0u);  // the minute's retry
    EXPECT_EQ(ForwardMessages(collector, spool, std::string("m4"))->lines, 0u);
    EXPECT_EQ(collector.got, (std::vector<std::string>{"m1", "m2", "m3", "m4"}));
    EXPECT_FALSE(disk.Has("C:\\App\\Zentrok.spool"));
}

TEST(Syslog, AMessageNeitherSentNorSpooledIsHeldAndGoesLaterBehindTheSpool)
{
    struct Case {
        const char* what;
        bool collectorUp;                    // while m2 goes
        std::uint32_t otherLockFor;          // another copy's lock on the spool, from then on
        std::deque<error::Code> locks;       // the spool's lock file and the spool itself
        std::optional<std::uint32_t> endBy;  // the time the session end has left
    } cases[] = {
        {"a lock that doesn't come", false, UINT32_MAX, {}, std::nullopt},
        {"a lock that doesn't come, the collector back", true, UINT32_MAX, {}, std::nullopt},
        {"a folder where no spool can be made", false, 0, std::deque<error::Code>(100, error::AccessDenied), std::nullopt},
        {"a slow spool at the session end", false, 1500, {}, 700},
    };
    for (const Case& c : cases) {
        test::FakeDisk disk;
        DiskLogFile files(disk);
        KeptLines spool(files, "C:\\App\\Zentrok.spool");
        FakeCollector collector;
        EXPECT_EQ(ForwardMessages(collector, spool, std::string("m1"))->lines, 1u);

        collector.takes = c.collectorUp ? 100 : 0;
        disk.lockHeldUntil = c.otherLockFor == UINT32_MAX ? UINT32_MAX : disk.now + c.otherLockFor;
        disk.faults["Lock"] = disk.faults["LockLogItself"] = c.locks;
        const std::uint32_t start = disk.now;
        {
            std::optional<DiskLogFile::EndBy> end;
            if (c.endBy) end.emplace(files, *c.endBy);
            EXPECT_EQ(ForwardMessages(collector, spool, std::string("m2"))->lines, 2u) << c.what;
        }
        if (c.endBy) EXPECT_LE(disk.now - start, *c.endBy + 50) << c.what;
        EXPECT_EQ(collector.got, std::vector<std::string>{}) << c.what;  // nothing ahead of m1

        collector.takes = 100;
        disk.lockHeldUntil = 0;
        disk.faults.clear();
        EXPECT_EQ(ForwardMessages(collector, spool, std::string("m3"))->lines, 0u) << c.what;
        EXPECT_EQ(collector.got, (std::vector<std::string>{"m1", "m2", "m3"})) << c.what;
        EXPECT_FALSE(disk.Has("C:\\App\\Zentrok.spool")) << c.what;
    }
}

namespace {
// Addresses that answer after a time, refuse after a time, or never answer.
struct FakeAttempts : Attempts {
    struct Address {
        std::optional<std::uint32_t> endsAfter;  // nothing: never answers
        bool refuses = false;
    };
    std::vector<Address> addresses;
    std::uint32_t now = 0;
    std::vector<std::uint32_t> started;  // when each was started, in order
    std::vector<bool> ended;

    std::uint32_t Milliseconds() override { return now; }
    bool Start(std::size_t) override
    {
        started.push_back(now);
        ended.push_back(false);
        return true;
    }
    std::optional<Ended> Wait(std::uint32_t ms) override
    {
        std::optional<std::size_t> first;
        std::uint32_t firstAt = now + ms;
        for (std::size_t i = 0; i < started.size(); ++i)
            if (!ended[i] && addresses[i].endsAfter && started[i] + *addresses[i].endsAfter <= firstAt) {
                first = i;
                firstAt = std::max(now, started[i] + *addresses[i].endsAfter);
            }
        now = firstAt;
        if (!first) return std::nullopt;
        ended[*first] = true;
        return Ended{*first, !addresses[*first].refuses};
    }
};
} // namespace

TEST(Syslog, ANameWhoseFirstAddressDoesntAnswerIsReachedAtTheNext)
{
    using A = FakeAttempts::Address;
    const A dead{}, quick{10}, refused{5, true};
    struct Case {
        std::vector<A> addresses;
        std::optional<std::size_t> used;
        std::vector<std::uint32_t> started;
    } cases[] = {
        {{quick, dead}, 0, {0}},
        {{dead, quick}, 1, {0, 250}},
        {{refused, quick}, 1, {0, 5}},
        {{dead, dead, quick}, 2, {0, 250, 500}},
        {{dead, dead, dead, dead, quick}, std::nullopt, {0, 250, 500, 750}},  // the fifth is past the bound
        {{refused, refused}, std::nullopt, {0, 5}},
    };
    for (const Case& c : cases) {
        FakeAttempts attempts;
        attempts.addresses = c.addresses;
        EXPECT_EQ(ConnectFirst(attempts, c.addresses.size(), 1000), c.used) << c.addresses.size();
        EXPECT_EQ(attempts.started, c.started) << c.addresses.size();
        EXPECT_LE(attempts.now, 1000u);
    }
}
