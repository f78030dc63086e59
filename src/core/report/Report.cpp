#include "Report.h"

#include <algorithm>

#include "ReportError.h"

namespace zentrok::report {

namespace {
// What was asked for, to name it in a message.
std::string Inputs(const Options& options)
{
    std::string named;
    for (const std::string& input : options.inputs) named += (named.empty() ? "" : u8"、") + input;
    return named;
}
} // namespace

Report MakeReport(LogData data, const Options& options, Seconds now)
{
    if (data.records.empty()) throw ReportError(NothingFound, u8"ログに記録が見つかりません: " + Inputs(options));
    Report r;
    r.lines = data.lines;
    r.skipped = data.skipped;
    r.now = now;
    r.names = std::move(data.names);
    const std::string user = Names::Folded(options.user);
    Sessions sessions = BuildSessions(std::move(data.records), now);
    r.periods = CutIntoPeriods(sessions, options.gap);
    r.away = std::move(sessions.away);
    r.periods.erase(std::remove_if(r.periods.begin(), r.periods.end(),
                                   [&](const Period& p) {
                                       return (options.from && p.day < *options.from) || (options.to && p.day > *options.to) ||
                                              (!user.empty() && Names::Folded(r.names.Shown(p.person)) != user);
                                   }),
                    r.periods.end());
    if (r.periods.empty()) throw ReportError(NothingFound, u8"指定された期間・ユーザーの記録がありません: " + Inputs(options));
    // Names by their place in the order of the texts shown, so that sorting compares numbers.
    std::vector<NameId> byText(r.names.Count());
    for (NameId id = 0; id < byText.size(); ++id) byText[id] = id;
    std::sort(byText.begin(), byText.end(), [&](NameId a, NameId b) { return r.names.Shown(a) < r.names.Shown(b); });
    std::vector<std::uint32_t> place(byText.size());
    for (std::size_t k = 0; k < byText.size(); ++k) place[byText[k]] = static_cast<std::uint32_t>(k);
    std::stable_sort(r.periods.begin(), r.periods.end(), [&](const Period& a, const Period& b) {
        if (a.day != b.day) return a.day < b.day;
        if (a.person != b.person) return place[a.person] < place[b.person];
        return a.span.start < b.span.start;
    });
    DayRows days = SumUpDays(r.periods, r.away);
    r.days = std::move(days.rows);
    r.computers = std::move(days.computers);
    return r;
}

} // namespace zentrok::report
