// The report as CSV for a spreadsheet.
#pragma once
#include <string>

#include "Report.h"

namespace zentrok::report {

// A header and one row per day and person, CR LF after every row; in UTF-8, with the names from
// the logs guarded as cp932 writes them, where given. A field is quoted when it holds a comma, a
// quote or a line end, quotes doubled; a name from the logs that begins, as written, with =, +,
// - or @ gets a leading ' so that it is never a formula.
std::string DayCsv(const Report& report, Codec* cp932 = nullptr);
// A header and one row per work period, likewise.
std::string PeriodCsv(const Report& report, Codec* cp932 = nullptr);

// The CSV the options ask for as it goes into the file: UTF-8 after a byte-order mark, or CP932 by codec.
std::string CsvBytes(const Report& report, const Options& options, Codec& codec);

} // namespace zentrok::report
