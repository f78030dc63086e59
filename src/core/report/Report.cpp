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
    for (Period& p : CutIntoPeriods(BuildSessions(std::move(data.records), now), options.gap)) {
        if ((options.from && p.day < *options.from) || (options.to && p.day > *options.to)) continue;
        if (!user.empty() && Names::Folded(r.names.Shown(p.person)) != user) continue;
        r.periods.push_back(std::move(p));
    }
    if (r.periods.empty()) throw ReportError(NothingFound, u8"指定された期間・ユーザーの記録がありません: " + Inputs(options));
    std::stable_sort(r.periods.begin(), r.periods.end(), [&](const Period& a, const Period& b) {
        if (a.day != b.day) return a.day < b.day;
        const std::string &pa = r.names.Shown(a.person), &pb = r.names.Shown(b.person);
        if (pa != pb) return pa < pb;
        return a.span.start < b.span.start;
    });
    r.days = SumUpDays(r.periods);
    return r;
}

} // namespace zentrok::report
