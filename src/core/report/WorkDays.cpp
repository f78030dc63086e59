#include "WorkDays.h"

#include <algorithm>

namespace zentrok::report {

namespace {
// A long time away up to a session's logoff (a locked PC shut down at night) leaves a point at the
// logoff, and one from its first record a point there: nobody worked at either. The logoff's
// reason goes to the period before. A session of nothing else keeps its first point; an end
// only estimated keeps its point too, as someone was there to leave the record.
void DropEmptyEnds(std::vector<Period>& periods, std::size_t first, const Session& s)
{
    const bool loggedOff = !(s.flags & (NoLogoff | Running));
    if (periods.size() - first > 1 && loggedOff && periods.back().span.Length() == 0) {
        periods[periods.size() - 2].reason = periods.back().reason;
        periods.pop_back();
    }
    if (periods.size() - first > 1 && periods[first].span.Length() == 0) periods.erase(periods.begin() + first);
}
} // namespace

std::vector<Period> CutIntoPeriods(const Sessions& sessions, Seconds gap)
{
    std::vector<Period> periods;
    periods.reserve(sessions.list.size());
    for (std::size_t i = 0; i < sessions.list.size(); ++i) {
        const Session& s = sessions.list[i];
        const std::size_t first = periods.size();
        Period p{i, PersonOf(s), s.computer, 0, {s.span.start, s.span.start}, s.startEstimated, false, s.flags,
                 Reason::None, s.awayBegin, s.awayBegin, 0};
        auto close = [&](Seconds end) {
            p.span.end = end;
            p.day = DayOf(p.span.start);
            periods.push_back(p);
        };
        for (std::size_t k = s.awayBegin; k < s.awayEnd; ++k) {
            const Span& a = sessions.away[k];
            if (a.Length() < gap) {
                p.awayEnd = k + 1;
                p.away += a.Length();
                continue;
            }
            close(a.start);  // a long time away belongs to no period
            p.span.start = a.end;
            p.startEstimated = false;
            p.awayBegin = p.awayEnd = k + 1;
            p.away = 0;
        }
        p.endEstimated = s.endEstimated;
        p.reason = s.reason;
        close(s.span.end);
        DropEmptyEnds(periods, first, s);
    }
    return periods;
}

namespace {
// The length of the union of spans (sorted here, in place).
Seconds UnionLength(std::vector<Span>& spans)
{
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.start < b.start; });
    Seconds total = 0, reach = 0;
    bool any = false;
    for (const Span& s : spans) {
        const Seconds from = any ? std::max(s.start, reach) : s.start;
        if (s.end > from) total += s.end - from;
        reach = any ? std::max(reach, s.end) : s.end;
        any = true;
    }
    return total;
}

// A period less its time away: the spans of work.
void AddWork(const Period& p, const std::vector<Span>& away, std::vector<Span>& work)
{
    Seconds from = p.span.start;
    for (std::size_t k = p.awayBegin; k < p.awayEnd; ++k) {
        const Span& a = away[k];
        if (a.start > from) work.push_back({from, a.start});
        from = std::max(from, a.end);
    }
    if (p.span.end > from) work.push_back({from, p.span.end});
}

// Keeps the first of each name from ids[from] on, in their order; n log n, for a crafted day of many computers.
void KeepFirstOfEach(std::vector<NameId>& ids, std::size_t from, std::vector<std::pair<NameId, std::size_t>>& scratch)
{
    if (ids.size() - from < 2) return;  // the common day on one computer
    scratch.clear();
    for (std::size_t i = from; i < ids.size(); ++i) scratch.emplace_back(ids[i], i);
    std::sort(scratch.begin(), scratch.end());
    scratch.erase(std::unique(scratch.begin(), scratch.end(), [](auto& a, auto& b) { return a.first == b.first; }),
                  scratch.end());
    std::sort(scratch.begin(), scratch.end(), [](auto& a, auto& b) { return a.second < b.second; });
    ids.resize(from);
    for (const auto& kept : scratch) ids.push_back(kept.first);
}
} // namespace

DayRows SumUpDays(const std::vector<Period>& periods, const std::vector<Span>& away)
{
    DayRows days;
    days.rows.reserve(periods.size());  // at most one each: room never written takes no memory
    std::vector<NameId>& computers = days.computers;
    // Reused from row to row: a million records make tens of thousands of rows.
    std::vector<Span> present, work;
    std::vector<std::size_t> sessions;
    std::vector<std::pair<NameId, std::size_t>> scratch;
    for (std::size_t i = 0; i < periods.size();) {
        DayRow row;
        row.day = periods[i].day;
        row.person = periods[i].person;
        present.clear();
        work.clear();
        sessions.clear();
        const Period* first = &periods[i];
        const Period* last = first;
        row.periodsBegin = i;
        row.computersBegin = computers.size();
        for (; i < periods.size() && periods[i].day == row.day && periods[i].person == row.person; ++i) {
            const Period& p = periods[i];
            present.push_back(p.span);
            AddWork(p, away, work);
            sessions.push_back(p.session);
            computers.push_back(p.computer);
            row.flags |= p.flags;
            if (p.span.end > last->span.end || (p.span.end == last->span.end && p.endEstimated)) last = &p;
        }
        row.periodsEnd = i;
        KeepFirstOfEach(computers, row.computersBegin, scratch);
        row.computersEnd = computers.size();
        std::sort(sessions.begin(), sessions.end());
        row.sessions = static_cast<std::size_t>(std::unique(sessions.begin(), sessions.end()) - sessions.begin());
        row.start = first->span.start;
        row.end = last->span.end;
        if (first->startEstimated || last->endEstimated) row.flags |= Estimated;
        row.present = UnionLength(present);
        row.work = UnionLength(work);
        days.rows.push_back(row);
    }
    return days;
}

std::string NotesText(std::uint8_t flags)
{
    static const std::pair<Flag, const char*> texts[] = {{NoLogon, u8"ログオン記録なし"},
                                                         {NoLogoff, u8"ログオフ記録なし"},
                                                         {Running, u8"記録中"},
                                                         {Estimated, u8"推定"}};
    std::string out;
    for (const auto& [flag, text] : texts) {
        if (!(flags & flag)) continue;
        if (!out.empty()) out += u8"、";
        out += text;
    }
    return out;
}

} // namespace zentrok::report
