// ZentrokReport.exe: the logs named on the command line (or the logger's folder) to CSV and HTML.
#pragma once
#include <string>
#include <vector>

#include "Console.h"

namespace zentrok::report {

// arguments: UTF-8, without the program's name. The exit code; errors are raised as ReportError.
int RunReport(const std::vector<std::string>& arguments, Console& console);

} // namespace zentrok::report
