// The report as one self-contained HTML page (UTF-8): per month and person, a row per
// day with its work periods on a timeline, the day's figures and the month's totals.
#pragma once
#include <string>

#include "Report.h"
#include "TextOut.h"

namespace zentrok::report {

// The page, in pieces to out; or whole.
void HtmlPage(const Report& report, TextSink& out);
std::string HtmlPage(const Report& report);

} // namespace zentrok::report
