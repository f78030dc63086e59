// The whole report: from the records read to the rows the outputs show.
#pragma once
#include <vector>

#include "LineReader.h"
#include "Options.h"
#include "WorkDays.h"

namespace zentrok::report {

struct Report {
    Names names;
    std::size_t lines = 0, skipped = 0;
    Seconds now = 0;
    std::vector<Period> periods;  // the ones asked for, by day, person and start
    std::vector<Span> away;       // the periods' time away, in runs
    std::vector<DayRow> days;
    std::vector<NameId> computers;  // the days' computers, in runs
};

// Sessions are built from all the data, then the days and the person asked for are kept.
// Raises ReportError(NothingFound) when no record, or none asked for, is left.
Report MakeReport(LogData data, const Options& options, Seconds now);

} // namespace zentrok::report
