// The report's command line.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ReportTime.h"

namespace zentrok::report {

struct Options {
    std::vector<std::string> inputs;  // files, folders and wildcards, as given
    std::string csv, html;            // output files, as given
    bool utf8 = false, detail = false, help = false;
    Seconds gap = 3 * 3600;           // time away that ends a work period
    std::optional<std::int64_t> from, to;  // days, inclusive
    std::string user;                 // as given; empty: everyone
    std::optional<std::string> separator;  // as given, before "-" and "<TAB>" are derived
};

// args without the program's name; raises ReportError(WrongCommandLine) naming what is wrong.
Options ParseOptions(const std::vector<std::string>& args);

// The usage text (UTF-8).
std::string UsageText();

} // namespace zentrok::report
