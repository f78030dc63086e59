// Work periods (sessions cut at long time away) and the per-person, per-day figures.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Sessions.h"

namespace zentrok::report {

struct Period {
    std::size_t session = 0;  // index into the sessions
    NameId person = NoName, computer = NoName;
    std::int64_t day = 0;     // the day it began
    Span span;
    bool startEstimated = false, endEstimated = false;
    std::uint8_t flags = 0;   // its session's
    Reason reason = Reason::None;  // its session's, on the last period only
    std::vector<Span> away;   // the shorter time away inside it
    Seconds Away() const;
};

// A person: the user, or the computer where the log has no user field.
inline NameId PersonOf(const Session& s) { return s.user != NoName ? s.user : s.computer; }

std::vector<Period> CutIntoPeriods(const std::vector<Session>& sessions, Seconds gap);

struct DayRow {
    std::int64_t day = 0;
    NameId person = NoName;
    Seconds start = 0, end = 0;     // absolute
    Seconds present = 0, work = 0;  // the union of the periods; less their time away
    std::size_t sessions = 0;
    std::vector<NameId> computers;
    std::uint8_t flags = 0;  // the sessions' flags, and Estimated for an estimated start or end
    std::vector<std::size_t> periods;  // indices, by start
};

// periods: sorted by day, then person, then start (as the report keeps them); a row for each
// day and person, in that order.
std::vector<DayRow> SumUpDays(const std::vector<Period>& periods);

// The notes of flags, in a fixed order, joined with "、" (UTF-8).
std::string NotesText(std::uint8_t flags);

} // namespace zentrok::report
