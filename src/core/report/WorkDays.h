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
    // The shorter time away inside it: [awayBegin, awayEnd) of its sessions' list, and their length.
    std::size_t awayBegin = 0, awayEnd = 0;
    Seconds away = 0;
};

// A person: the user, or the computer where the log has no user field.
inline NameId PersonOf(const Session& s) { return s.user != NoName ? s.user : s.computer; }

// A session's time away is a run of the list; so is each period's.
std::vector<Period> CutIntoPeriods(const Sessions& sessions, Seconds gap);

struct DayRow {
    std::int64_t day = 0;
    NameId person = NoName;
    Seconds start = 0, end = 0;     // absolute
    Seconds present = 0, work = 0;  // the union of the periods; less their time away
    std::size_t sessions = 0;
    std::size_t computersBegin = 0, computersEnd = 0;  // of DayRows::computers: each once, as first seen
    std::uint8_t flags = 0;  // the sessions' flags, and Estimated for an estimated start or end
    std::size_t periodsBegin = 0, periodsEnd = 0;  // its periods, by start: a run of the report's
};

// The computers of every row in one list: tens of thousands of rows, no list each.
struct DayRows {
    std::vector<DayRow> rows;
    std::vector<NameId> computers;
};

// periods: sorted by day, then person, then start (as the report keeps them), away: their
// sessions' time away; a row for each day and person, in that order.
DayRows SumUpDays(const std::vector<Period>& periods, const std::vector<Span>& away);

// The notes of flags, in a fixed order, joined with "、" (UTF-8).
std::string NotesText(std::uint8_t flags);

} // namespace zentrok::report
