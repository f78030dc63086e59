#include "DiskLog.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace zentrok {

namespace {
using Result = LogFileAccess::WriteResult;

// Another writer or a reader holds the file for a moment: worth waiting for.
bool Busy(error::Code code)
{
    return code == error::SharingViolation || code == error::AccessDenied || code == error::LockViolation;
}

bool NotThere(error::Code code) { return code == error::FileNotFound || code == error::PathNotFound; }

// Errors after which the log itself may still be written where it is: the folder
// refuses to create, rename or delete files, or its file system can't replace.
bool InPlaceHelps(error::Code code)
{
    return code == error::AccessDenied || code == error::UnableToRemoveReplaced || code == error::NotSupported ||
           code == error::InvalidFunction || code == error::InvalidParameter;
}

// Whether name is log + ".<digits>[-<digits>]" + ending, the shape of this program's helper names.
bool HelperNameOf(const std::string& name, const std::string& log, const std::string& ending)
{
    if (name.size() < log.size() + 2 + ending.size() || name.compare(0, log.size(), log) != 0 ||
        name[log.size()] != '.' || name.compare(name.size() - ending.size(), ending.size(), ending) != 0)
        return false;
    const std::string middle = name.substr(log.size() + 1, name.size() - log.size() - 1 - ending.size());
    bool digit = false;
    for (char c : middle) {
        if (std::isdigit(static_cast<unsigned char>(c))) digit = true;
        else if (c != '-' || !digit) return false;
    }
    return digit && middle.back() != '-';
}

constexpr char TempEnding[] = ".tmp";
constexpr char BackupEnding[] = ".bak";
} // namespace

bool FitsInMemory(std::uint64_t fileSize, std::uint64_t headroom, std::uint64_t addressable)
{
    return fileSize < addressable && addressable - fileSize > headroom;
}

std::uint32_t DiskLogFile::Elapsed() const { return ops_.Milliseconds() - start_; }

// A pause that differs between processes, so that many writers spread out; never past until.
void DiskLogFile::PauseBeforeRetry(std::uint32_t attempt, std::uint32_t until)
{
    const std::uint32_t elapsed = Elapsed();
    if (elapsed < until) ops_.Pause(std::min<std::uint32_t>(5 + (ops_.ProcessId() + attempt * 7) % 11, until - elapsed));
}

// Waiters for the lock back off at random, up to most ms, so that fifty of them
// neither retry in step nor keep hammering a share.
void DiskLogFile::PauseForLock(std::uint32_t attempt, std::uint32_t until, std::uint32_t most)
{
    if (random_ == 0) random_ = (ops_.ProcessId() * 2654435761u) ^ ops_.Milliseconds() ^ 0x9E3779B9u;
    random_ ^= random_ << 13;  // xorshift32
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    const std::uint32_t now = std::min<std::uint32_t>(10u << std::min<std::uint32_t>(attempt, 4), most);
    const std::uint32_t elapsed = Elapsed();
    if (elapsed < until) ops_.Pause(std::min(1 + random_ % now, until - elapsed));
}

bool DiskLogFile::Absent(const std::string& path)
{
    FileInfo info;
    return NotThere(ops_.Info(path, info));
}

// What other writers change while they hold the lock in turn.
struct DiskLogFile::Mark {
    error::Code logCode, lockCode;
    FileInfo logInfo, lockInfo;
    bool operator==(const Mark& o) const
    {
        return logCode == o.logCode && lockCode == o.lockCode && logInfo.written == o.logInfo.written &&
               logInfo.size == o.logInfo.size && lockInfo.written == o.lockInfo.written;
    }
};

DiskLogFile::Mark DiskLogFile::ProgressMark(const std::string& log, const std::string& lockName)
{
    Mark mark{};
    mark.logCode = ops_.Info(log, mark.logInfo);
    mark.lockCode = ops_.Info(lockName, mark.lockInfo);
    return mark;
}

std::unique_ptr<LogFileAccess::Lock> DiskLogFile::LockLog(const std::string& path)
{
    constexpr std::uint32_t LookEvery = 500;  // how often a patient waiter looks for progress
    start_ = ops_.Milliseconds();
    const std::string log = ops_.FullPath(path);
    const std::string name = log + ".lock";
    std::unique_ptr<Lock> lock;
    bool onLog = false;
    std::optional<Mark> seen;
    std::uint32_t moved = 0, looked = 0;
    for (std::uint32_t attempt = 0;; ++attempt) {
        const error::Code code = onLog ? ops_.LockLogItself(log, lock) : ops_.Lock(name, lock);
        if (code == error::None) break;
        // A folder where no file can be created has no room for a lock file either.
        if (!onLog && code == error::AccessDenied && Absent(name)) {
            onLog = true;
            continue;
        }
        // Only another writer's lock is worth waiting for; a missing folder is not.
        if (!Busy(code) || !BeforeEnd()) return nullptr;
        const std::uint32_t elapsed = Elapsed();
        if (!patient_) {
            if (elapsed >= LockWait) return nullptr;
            PauseForLock(attempt, LockWait, LockPauseMost);
            continue;
        }
        if (!seen || elapsed - looked >= LookEvery) {
            const Mark now = ProgressMark(log, name);
            if (!seen || !(now == *seen)) moved = elapsed;
            seen = now;
            looked = elapsed;
        }
        if (elapsed - moved >= StillMost || elapsed >= PatientMost) return nullptr;
        // Fifty waiters on a share: a freed lock is still taken within a few ms by one of them.
        PauseForLock(attempt, UINT32_MAX, elapsed < LockWait ? LockPauseMost : 4 * LockPauseMost);
    }
    // However long the lock took, the steps after it get the time they have when it comes at once.
    if (Elapsed() > LockWait) start_ = ops_.Milliseconds();
    RemoveLeftovers(log);
    return lock;
}

// Temporary files of a writer that died are removed; when the log itself is gone,
// the first one found becomes the log: it holds a whole log, the newest there is.
void DiskLogFile::RemoveLeftovers(const std::string& log)
{
    std::optional<bool> logThere;
    for (const std::string& name : ops_.Find(log + ".*" + TempEnding)) {
        FileInfo info;
        if (!HelperNameOf(name, log, TempEnding) || ops_.Info(name, info) != error::None || !info.helper) continue;
        if (!logThere) logThere = !Absent(log);
        if (!*logThere && ops_.Move(name, log) == error::None) logThere = true;
        else ops_.Delete(name);
    }
}

LogFileAccess::Kind DiskLogFile::Examine(const std::string& path)
{
    FileInfo info;
    const error::Code code = ops_.Info(path, info);
    // Only these two say there is no log; any other failure is no licence to start a new one.
    if (NotThere(code)) return Kind::Missing;
    if (code != error::None) return Kind::Unreadable;
    if (info.folder) return Kind::Folder;
    if (info.readOnly) return Kind::ReadOnlyFile;
    return Kind::File;
}

bool DiskLogFile::ReadAll(const std::string& path, std::string& content)
{
    return ops_.Read(path, content) == error::None;
}

std::string DiskLogFile::HelperName(const std::string& log, int n, const char* ending)
{
    const std::string stem = log + "." + std::to_string(ops_.ProcessId());
    return (n == 0 ? stem : stem + "-" + std::to_string(n)) + ending;
}

std::string DiskLogFile::FreeName(const std::string& log, const char* ending)
{
    std::string name = HelperName(log, 0, ending);
    for (int n = 1; n < Names && !Absent(name); ++n) name = HelperName(log, n, ending);
    return name;
}

LogFileAccess::WriteResult DiskLogFile::Rewrite(const std::string& log, const Content& content)
{
    const error::Code code = ops_.Rewrite(log, content);
    if (code == error::None) return Result::Written;
    return code == error::WriteCut ? Result::ShortWrite : Result::CantCreate;
}

LogFileAccess::WriteResult DiskLogFile::ReplaceAll(const std::string& path, const std::string& content)
{
    return ReplaceAll(path, WholeText(content));
}

LogFileAccess::WriteResult DiskLogFile::ReplaceAll(const std::string& path, const Content& content)
{
    // A patient update's reading took what it took; its bound starts here.
    if (patient_) RestartDeadline();
    if (!TimeLeft()) return Result::CantCreate;
    const std::string log = ops_.FullPath(path);
    // A file of the name that is there already is not ours to overwrite.
    std::string temp;
    error::Code created = error::FileExists;
    for (int n = 0; n < Names && (created == error::FileExists || created == error::AlreadyExists); ++n) {
        temp = HelperName(log, n, TempEnding);
        created = ops_.CreateHelper(temp, content);
    }
    if (created == error::WriteCut) return Result::ShortWrite;
    if (contentUntimed_ || patient_) RestartDeadline();
    if (created == error::None) return PutInPlace(log, temp, content);
    return InPlaceHelps(created) && !Absent(log) && TimeLeft() ? Rewrite(log, content) : Result::CantCreate;
}

void DiskLogFile::Remove(const std::string& path) { ops_.Delete(ops_.FullPath(path)); }

LogFileAccess::WriteResult DiskLogFile::PutInPlace(const std::string& log, const std::string& temp,
                                                   const Content& content)
{
    // The old log goes to a backup name first, so that every state a failed
    // replacement leaves has the old or the new log under a name we know.
    std::string backup;
    error::Code code = error::None;
    for (std::uint32_t attempt = 0; TimeLeft(); ++attempt) {
        // A reader that has the log open for a moment (the user's editor, a backup)
        // delays the replacement; one that keeps it open makes it fail.
        code = ops_.Probe(log);
        if (NotThere(code)) {
            if (ops_.Move(temp, log) == error::None) return Result::Written;
            ops_.Delete(temp);
            return Rewrite(log, content);
        }
        if (code == error::None) {
            if (backup.empty()) backup = FreeName(log, BackupEnding);
            if (!TimeLeft()) break;
            code = ops_.Replace(log, temp, backup);
            if (code == error::None) {
                ops_.Delete(backup);
                return Result::Written;
            }
            if (Absent(log)) return Recover(log, temp, backup, content);
            // Nobody holds the log, yet it can't be replaced: it is written where it is.
            if (InPlaceHelps(code)) {
                ops_.Delete(temp);
                return TimeLeft() ? Rewrite(log, content) : Result::CantCreate;
            }
        }
        if (!Busy(code)) break;
        PauseBeforeRetry(attempt, Deadline);
    }
    ops_.Delete(temp);
    return Result::CantCreate;
}
// The replacement stopped half-way and no file has the log's name: put the new
// content there, else the old one, else write it directly; keep what can't be put back.
LogFileAccess::WriteResult DiskLogFile::Recover(const std::string& log, const std::string& temp,
                                                const std::string& backup, const Content& content)
{
    if (ops_.Move(temp, log) == error::None) {
        ops_.Delete(backup);
        return Result::Written;
    }
    if (!Absent(backup) && ops_.Move(backup, log) == error::None) {
        ops_.Delete(temp);
        return Result::CantCreate;
    }
    if (ops_.Rewrite(log, content) == error::None) {
        ops_.Delete(temp);
        ops_.Delete(backup);
        return Result::Written;
    }
    return Result::CantCreate;
}

} // namespace zentrok
