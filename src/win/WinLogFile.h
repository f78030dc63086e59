// The log file on disk. A new content goes to a temporary file beside the log,
// is flushed, and replaces the log in one step.
#pragma once
#include "LogFile.h"

namespace zentrok {

class WinLogFile : public LogFileAccess {
public:
    Kind Examine(const std::string& path) override;
    bool ReadAll(const std::string& path, std::string& content) override;
    WriteResult ReplaceAll(const std::string& path, const std::string& content) override;
};

} // namespace zentrok
