// The report as CSV for a spreadsheet (UTF-8 here; the program encodes it).
#pragma once
#include <string>
#include <string_view>

#include "Report.h"

namespace zentrok::report {

// One field: quoted when it holds a comma, a quote or a line end, quotes doubled; a text
// from the logs that begins with =, +, - or @ gets a leading ' so that it is never a formula.
std::string CsvField(std::string_view text, bool fromLog);

// A header and one row per day and person, CR LF after every row.
std::string DayCsv(const Report& report);
// A header and one row per work period.
std::string PeriodCsv(const Report& report);

} // namespace zentrok::report
