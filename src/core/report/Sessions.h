// Sessions from the records of one user on one computer: logon to logoff, with
// the time away (locked or asleep) inside them.
#pragma once
#include <cstdint>
#include <vector>

#include "Records.h"

namespace zentrok::report {

struct Span {
    Seconds start = 0, end = 0;
    Seconds Length() const { return end - start; }
};

// What a session's notes say.
enum Flag : std::uint8_t { NoLogon = 1, NoLogoff = 2, Running = 4, Estimated = 8 };

struct Session {
    NameId user = NoName, computer = NoName;
    Span span;
    bool startEstimated = false, endEstimated = false;
    std::uint8_t flags = 0;
    Reason reason = Reason::None;
    // Its time away, [awayBegin, awayEnd) of Sessions::away: sorted, not overlapping, inside span.
    std::size_t awayBegin = 0, awayEnd = 0;
};

// The time away of every session in one list: tens of thousands of sessions, no list each.
struct Sessions {
    std::vector<Session> list;
    std::vector<Span> away;
};

// now: the report's time; a session still open at the end whose logon is from now's day is running.
Sessions BuildSessions(std::vector<Record> records, Seconds now);

} // namespace zentrok::report
