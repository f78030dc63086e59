// The log file on disk: the update of DiskLogFile on the Win32 file calls. Paths
// too long for the ANSI calls (a log near 259 bytes, whose helper files are longer)
// go to the wide calls in their long form.
#pragma once
#include "DiskLog.h"

namespace zentrok {

class WinFileOps : public FileOps {
public:
    std::uint32_t ProcessId() override;
    std::uint32_t Milliseconds() override;
    void Pause(std::uint32_t ms) override;
    std::string FullPath(const std::string& path) override;
    // "<log>.lock", hidden, opened without sharing. One this call creates is deleted
    // when closed, so a writer that dies releases it; a file of that name that was
    // there before is only held open, never deleted.
    error::Code Lock(const std::string& name, std::unique_ptr<LogFileAccess::Lock>& lock) override;
    // A byte range far past the end of the log, locked exclusively.
    error::Code LockLogItself(const std::string& log, std::unique_ptr<LogFileAccess::Lock>& lock) override;
    error::Code Info(const std::string& path, FileInfo& info) override;
    error::Code Read(const std::string& path, std::string& content) override;
    error::Code CreateHelper(const std::string& path, const Content& content) override;
    error::Code Probe(const std::string& path) override;
    error::Code Replace(const std::string& log, const std::string& temp, const std::string& backup) override;
    error::Code Move(const std::string& from, const std::string& to) override;
    error::Code Delete(const std::string& path) override;
    error::Code Rewrite(const std::string& path, const Content& content) override;
    std::vector<std::string> Find(const std::string& pattern) override;
};

// The operations come first among the bases, so they exist before the update uses them.
class WinLogFile : private WinFileOps, public DiskLogFile {
public:
    WinLogFile() : DiskLogFile(static_cast<WinFileOps&>(*this)) {}
};

} // namespace zentrok
