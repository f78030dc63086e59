// The log's update made of single file operations, so that what happens on each
// error the system can give is decided here and can be tried with a fake disk.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "LogFile.h"

namespace zentrok {

// The system's error codes the update tells apart (the values Windows uses).
namespace error {
using Code = std::uint32_t;
constexpr Code None = 0;
constexpr Code InvalidFunction = 1;
constexpr Code FileNotFound = 2;
constexpr Code PathNotFound = 3;
constexpr Code AccessDenied = 5;
constexpr Code SharingViolation = 32;
constexpr Code LockViolation = 33;
constexpr Code NotSupported = 50;
constexpr Code FileExists = 80;
constexpr Code InvalidParameter = 87;
constexpr Code AlreadyExists = 183;
constexpr Code FileTooLarge = 223;
constexpr Code UnableToRemoveReplaced = 1175;
constexpr Code UnableToMoveReplacement = 1176;
constexpr Code UnableToMoveReplacement2 = 1177;
// Ours: fewer bytes reached the file than were given (a full disk).
constexpr Code WriteCut = 0x20000001;
} // namespace error

// What a write puts in a file, handed on in pieces as it is made: a text of tens of
// megabytes can be going out while the rest of it is still being made.
class ContentSink {
public:
    virtual ~ContentSink() = default;
    // False when the piece couldn't be written: no more are wanted.
    virtual bool Put(std::string_view piece) = 0;
};

class Content {
public:
    virtual ~Content() = default;
    // Every piece to sink in turn, the same bytes on every call; false when sink refused
    // one or the text couldn't be made.
    virtual bool WriteTo(ContentSink& sink) const = 0;
};

// A text that is there whole already, as one piece.
class WholeText : public Content {
public:
    explicit WholeText(const std::string& text) : text_(text) {}
    bool WriteTo(ContentSink& sink) const override { return sink.Put(text_); }

private:
    const std::string& text_;
};

struct FileInfo {
    bool folder = false;
    bool readOnly = false;
    bool helper = false;  // marked as one of this program's temporary files
    // The last write and the size: what another writer's update of the file changes.
    std::uint64_t written = 0;
    std::uint64_t size = 0;
};

// One file operation each; every one answers error::None or the system's code.
class FileOps {
public:
    virtual ~FileOps() = default;
    virtual std::uint32_t ProcessId() = 0;
    virtual std::uint32_t Milliseconds() = 0;  // a clock that only goes forward, wrapping
    virtual void Pause(std::uint32_t ms) = 0;
    virtual std::string FullPath(const std::string& path) = 0;

    // The exclusive lock file; only a file it created is deleted when the lock goes.
    virtual error::Code Lock(const std::string& name, std::unique_ptr<LogFileAccess::Lock>& lock) = 0;
    // The same kept on the log itself, for a folder that lets nobody create a file.
    virtual error::Code LockLogItself(const std::string& log, std::unique_ptr<LogFileAccess::Lock>& lock) = 0;
    virtual error::Code Info(const std::string& path, FileInfo& info) = 0;
    virtual error::Code Read(const std::string& path, std::string& content) = 0;
    // A new file marked as a helper, written and flushed; removed again when the write fails.
    virtual error::Code CreateHelper(const std::string& path, const Content& content) = 0;
    // Opens the file for writing without sharing and closes it: whether anyone holds it.
    virtual error::Code Probe(const std::string& path) = 0;
    virtual error::Code Replace(const std::string& log, const std::string& temp, const std::string& backup) = 0;
    // Renames from to to; never over an existing file.
    virtual error::Code Move(const std::string& from, const std::string& to) = 0;
    virtual error::Code Delete(const std::string& path) = 0;
    // Writes content over the file's own bytes, creating it when missing, and cuts it there.
    virtual error::Code Rewrite(const std::string& path, const Content& content) = 0;
    // The names in path's folder that match the pattern (a name with * for any text).
    virtual std::vector<std::string> Find(const std::string& pattern) = 0;
};

// The log on disk. A new content goes to a temporary file beside the log, is
// flushed, and replaces the log in one step, the old log kept under a backup name
// until the new one is in place; where the folder or its file system won't allow
// that, the log is rewritten in place. One update, from taking the lock to the
// last step, gets Deadline ms; the steps that put a log back run even after it.
class DiskLogFile : public LogFileAccess {
    struct End {
        std::uint32_t from, ms;
    };

public:
    static constexpr std::uint32_t Deadline = 3000;
    static constexpr std::uint32_t LockWait = 1500;
    // The start-up line: nobody waits on it, but the PCs of an office that log on at once
    // wait for each other on a shared log, a queue whose length no clock bound can know.
    // It waits while the others move (the log replaced or grown, the lock file made anew),
    // gives up when nothing has moved for StillMost ms, and in any case after PatientMost.
    static constexpr std::uint32_t StillMost = 30000;
    static constexpr std::uint32_t PatientMost = 600000;

    explicit DiskLogFile(FileOps& ops) : ops_(ops) {}

    // While it lives, updates wait for the lock as the start-up line does, and reading and
    // writing the content take what the share needs; the log's replacement keeps its
    // bound, so that a log someone holds open is still given up in seconds.
    class Patience {
    public:
        explicit Patience(DiskLogFile& files) : files_(files) { files.patient_ = true; }
        ~Patience() { files_.patient_ = false; }
        Patience(const Patience&) = delete;
        Patience& operator=(const Patience&) = delete;

    private:
        DiskLogFile& files_;
    };

    // While it lives, no update runs past ms from its making, the wait for the lock
    // included: for a caller whose steps share one deadline (the session end's answer).
    class EndBy {
    public:
        EndBy(DiskLogFile& files, std::uint32_t ms) : files_(files), old_(files.end_)
        {
            files.end_ = End{files.ops_.Milliseconds(), ms};
        }
        ~EndBy() { files_.end_ = old_; }
        EndBy(const EndBy&) = delete;
        EndBy& operator=(const EndBy&) = delete;

    private:
        DiskLogFile& files_;
        std::optional<End> old_;
    };

    std::unique_ptr<Lock> LockLog(const std::string& path) override;
    Kind Examine(const std::string& path) override;
    bool ReadAll(const std::string& path, std::string& content) override;
    WriteResult ReplaceAll(const std::string& path, const std::string& content) override;
    // The same with a content made as it is written.
    WriteResult ReplaceAll(const std::string& path, const Content& content);
    void Remove(const std::string& path) override;
    // Writing the content no longer counts against the deadline: a file far larger than a log
    // (a report's) takes as long as a slow share needs. The steps before and after it keep
    // their time, so that a file someone holds open is still given up in seconds.
    void LeaveContentUntimed() { contentUntimed_ = true; }
    // The steps from here get the whole Deadline again: for a file whose lock was
    // held while other files were written.
    void RestartDeadline() { start_ = ops_.Milliseconds(); }

private:
    struct Mark;
    Mark ProgressMark(const std::string& log, const std::string& lockName);
    std::uint32_t Elapsed() const;
    bool BeforeEnd() const { return !end_ || ops_.Milliseconds() - end_->from < end_->ms; }
    bool TimeLeft() const { return Elapsed() < Deadline && BeforeEnd(); }
    void PauseBeforeRetry(std::uint32_t attempt, std::uint32_t until);
    void PauseForLock(std::uint32_t attempt, std::uint32_t until, std::uint32_t most);
    static constexpr std::uint32_t LockPauseMost = 50;
    bool Absent(const std::string& path);
    std::string HelperName(const std::string& log, int n, const char* ending);
    std::string FreeName(const std::string& log, const char* ending);
    void RemoveLeftovers(const std::string& log);
    WriteResult Rewrite(const std::string& log, const Content& content);
    WriteResult PutInPlace(const std::string& log, const std::string& temp, const Content& content);
    WriteResult Recover(const std::string& log, const std::string& temp, const std::string& backup,
                        const Content& content);

    static constexpr int Names = 100;  // helper names tried before giving up

    FileOps& ops_;
    std::uint32_t start_ = 0;
    bool patient_ = false;
    bool contentUntimed_ = false;
    std::optional<End> end_;  // an EndBy's
    std::uint32_t random_ = 0;
};

// Whether a file of fileSize bytes plus headroom can be held in memory of
// addressable bytes (not 4 GiB and more on a 32-bit system).
bool FitsInMemory(std::uint64_t fileSize, std::uint64_t headroom, std::uint64_t addressable);

} // namespace zentrok
