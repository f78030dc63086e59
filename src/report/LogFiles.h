// The logs read and parsed in two lanes, each a half of the files on a processor of its own,
// then put together in the files' order: reading and parsing a million lines is most of the
// report's time.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "LineReader.h"

namespace zentrok::report {

struct LogsRead {
    LogData data;
    std::vector<std::string> unreadable;  // in the order given
    std::size_t read = 0;                 // files
};

// A file that can't be read or held is named in unreadable. progress(files, lines) is called on
// the calling thread only, after each of its files.
LogsRead ReadLogFiles(const std::vector<std::string>& paths, const std::vector<std::string>& separators,
                      const std::function<void(std::size_t files, std::size_t lines)>& progress);

} // namespace zentrok::report
