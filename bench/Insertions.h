// The body of the insertion timers: one fresh process does a number of insertions
// into one log and appends its figures to a results file, one "<label>.<figure> <value>" a line.
#pragma once
#include <functional>
#include <string>

namespace bench {

// Command line: <program> <log> <count> <label> <results> [extra]. For every insertion
// "<label>.ms"; for the first, the rise of the peak working set and the peak pagefile usage
// over the usage just before it ("<label>.peak_ws", "<label>.peak_pf"), in bytes.
int InsertionMain(int argc, char** argv, const std::function<void(const std::string& log)>& insert);

} // namespace bench
