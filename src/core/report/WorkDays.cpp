#include "WorkDays.h"

#include <algorithm>
#include <map>
#include <unordered_set>

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
// The length of the union of spans.
Seconds UnionLength(std::vector<Span> spans)
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
} // namespace

std::vector<DayRow> SumUpDays(const std::vector<Period>& periods, const Names& names)
{
    std::map<std::pair<std::int64_t, NameId>, std::vector<std::size_t>> groups;
    for (std::size_t i = 0; i < periods.size(); ++i) groups[{periods[i].day, periods[i].person}].push_back(i);

    std::vector<DayRow> rows;
    for (auto& [key, members] : groups) {
        std::sort(members.begin(), members.end(),
                  [&](std::size_t a, std::size_t b) { return periods[a].span.start < periods[b].span.start; });
        DayRow row;
        row.day = key.first;
        row.person = key.second;
        row.periods = members;
        std::vector<Span> present, work;
        std::unordered_set<std::size_t> sessions;
        std::unordered_set<NameId> computers;
        const Period* first = &periods[members.front()];
        const Period* last = first;
        for (std::size_t i : members) {
            const Period& p = periods[i];
            present.push_back(p.span);
            AddWork(p, work);
            sessions.insert(p.session);
            if (computers.insert(p.computer).second) row.computers.push_back(p.computer);
            row.flags |= p.flags;
            if (p.span.end > last->span.end || (p.span.end == last->span.end && p.endEstimated)) last = &p;
        }
        row.start = first->span.start;
        row.end = last->span.end;
        if (first->startEstimated || last->endEstimated) row.flags |= Estimated;
        row.present = UnionLength(present);
        row.work = UnionLength(work);
        row.sessions = sessions.size();
        rows.push_back(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const DayRow& a, const DayRow& b) {
        if (a.day != b.day) return a.day < b.day;
        return names.Shown(a.person) < names.Shown(b.person);
    });
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
