// The log file on disk. A new content goes to a temporary file beside the log,
// is flushed, and replaces the log in one step.
#pragma once
#include "LogFile.h"

namespace zentrok {

class WinLogFile : public LogFileAccess {
public:
    // The lock is a file beside the log, "<log>.lock", opened without sharing and
    // deleted when closed, so a writer that dies releases it.
    std::unique_ptr<Lock> LockLog(const std::string& path) override;
    Kind Examine(const std::string& path) override;
    bool ReadAll(const std::string& path, std::string& content) override;
    WriteResult ReplaceAll(const std::string& path, const std::string& content) override;
};

} // namespace zentrok
