#include "WorkDays.h"

#include <algorithm>

namespace zentrok::report {

Seconds Period::Away() const
{
    Seconds total = 0;
    for (const Span& a : away) total += a.Length();
    return total;
}

std::vector<Period> CutIntoPeriods(const std::vector<Session>& sessions, Seconds gap)
{
    std::vector<Period> periods;
    for (std::size_t i = 0; i < sessions.size(); ++i) {
        const Session& s = sessions[i];
        Period p{i, PersonOf(s), s.computer, 0, {s.span.start, s.span.start}, s.startEstimated, false, s.flags,
                 Reason::None, {}};
        auto close = [&](Seconds end) {
            p.span.end = end;
            p.day = DayOf(p.span.start);
            periods.push_back(p);
        };
        for (const Span& a : s.away) {
            if (a.Length() < gap) {
                p.away.push_back(a);
                continue;
            }
            close(a.start);  // a long time away belongs to no period
            p.span.start = a.end;
            p.startEstimated = false;
            p.away.clear();
        }
        p.endEstimated = s.endEstimated;
        p.reason = s.reason;
        close(s.span.end);
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
void AddWork(const Period& p, std::vector<Span>& work)
{
    Seconds from = p.span.start;
    for (const Span& a : p.away) {
        if (a.start > from) work.push_back({from, a.start});
        from = std::max(from, a.end);
    }
    if (p.span.end > from) work.push_back({from, p.span.end});
}

// Keeps the first of each name, in their order; n log n, for a crafted day of many computers.
void KeepFirstOfEach(std::vector<NameId>& ids, std::vector<std::pair<NameId, std::size_t>>& scratch)
{
    scratch.clear();
    for (std::size_t i = 0; i < ids.size(); ++i) scratch.emplace_back(ids[i], i);
    std::sort(scratch.begin(), scratch.end());
    scratch.erase(std::unique(scratch.begin(), scratch.end(), [](auto& a, auto& b) { return a.first == b.first; }),
                  scratch.end());
    std::sort(scratch.begin(), scratch.end(), [](auto& a, auto& b) { return a.second < b.second; });
    ids.clear();
    for (const auto& kept : scratch) ids.push_back(kept.first);
}
} // namespace

std::vector<DayRow> SumUpDays(const std::vector<Period>& periods)
{
    std::vector<DayRow> rows;
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
        for (; i < periods.size() && periods[i].day == row.day && periods[i].person == row.person; ++i) {
            const Period& p = periods[i];
            row.periods.push_back(i);
            present.push_back(p.span);
            AddWork(p, work);
            sessions.push_back(p.session);
            row.computers.push_back(p.computer);
            row.flags |= p.flags;
            if (p.span.end > last->span.end || (p.span.end == last->span.end && p.endEstimated)) last = &p;
        }
        KeepFirstOfEach(row.computers, scratch);
        std::sort(sessions.begin(), sessions.end());
        row.sessions = static_cast<std::size_t>(std::unique(sessions.begin(), sessions.end()) - sessions.begin());
        row.start = first->span.start;
        row.end = last->span.end;
        if (first->startEstimated || last->endEstimated) row.flags |= Estimated;
        row.present = UnionLength(present);
        row.work = UnionLength(work);
        rows.push_back(std::move(row));
    }
    return rows;
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
