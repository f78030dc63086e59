// Putting a record on top of the log file.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zentrok {

// Whole-file access to the log. The real one (DiskLogFile) replaces the file in
// one step, so that a failed write leaves the old log as it was.
class LogFileAccess {
public:
    // Unreadable: the system couldn't tell whether there is a log.
    enum class Kind { Missing, File, ReadOnlyFile, Folder, Unreadable };
    enum class WriteResult { Written, CantCreate, ShortWrite };

    // Held while one writer updates the log; released when destroyed.
    class Lock {
    public:
        virtual ~Lock() = default;
    };

    virtual ~LogFileAccess() = default;
    // The right to update the log at path, exclusive among all writers on every
    // computer that reaches the file; nothing when it can't be had in a short time.
    virtual std::unique_ptr<Lock> LockLog(const std::string& path) = 0;
    virtual Kind Examine(const std::string& path) = 0;
    // False when the file can't be opened for reading.
    virtual bool ReadAll(const std::string& path, std::string& content) = 0;
    virtual WriteResult ReplaceAll(const std::string& path, const std::string& content) = 0;
    // Deletes the file, under its lock; a file that can't be deleted stays.
    virtual void Remove(const std::string& path) = 0;
};

// Raises the log's error for a path no log can have: a tab (a hand-edited folder)
// would split the kept line's entry into another name and line.
void RefuseLogPath(const std::string& path);
// Inserts line at the top of the log at path, cut to maxLines lines, while no
// other writer can read or replace it, so that no writer's line is lost. Raises
// ZentrokError with the user's message when the file can't be read or written;
// the file is then unchanged.
void AddLogLine(LogFileAccess& files, const std::string& path, const std::string& line, std::int32_t maxLines);
// The same with several lines in one update, newest first.
void AddLogLines(LogFileAccess& files, const std::string& path, const std::vector<std::string>& newestFirst,
                 std::int32_t maxLines);

} // namespace zentrok
