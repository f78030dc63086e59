// Fixed stand-ins for the system, the log's file access and the settings file.
#pragma once
#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "DiskLog.h"
#include "LogFile.h"
#include "Settings.h"
#include "System.h"

namespace zentrok::test {

class FakeSystem : public SystemServices {
public:
    ClockReading now{2026, 12, 6, 9, 5, 3, 0};
    std::optional<std::string> user = "user01";
    std::optional<std::string> computer = "PC01";

    ClockReading LocalTime() override { return now; }
    std::optional<std::string> UserName() override { return user; }
    std::optional<std::string> ComputerName() override { return computer; }
    std::string UpperCase(std::string text) override
    {
        for (char& c : text)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return text;
    }
};

class FakeFiles : public LogFileAccess {
public:
    std::map<std::string, std::pair<Kind, std::string>> files;
    bool readFails = false;
    bool lockBusy = false;
    int locksHeld = 0;
    WriteResult writeResult = WriteResult::Written;

    struct CountedLock : Lock {
        explicit CountedLock(int& held) : held_(held) { ++held_; }
        ~CountedLock() override { --held_; }
        int& held_;
    };
    std::unique_ptr<Lock> LockLog(const std::string&) override
    {
        return lockBusy ? nullptr : std::make_unique<CountedLock>(locksHeld);
    }
    Kind Examine(const std::string& path) override
    {
        auto it = files.find(path);
        return it == files.end() ? Kind::Missing : it->second.first;
    }
    bool ReadAll(const std::string& path, std::string& content) override
    {
        if (locksHeld != 1) throw std::logic_error("read without the lock");
        if (readFails) return false;
        content = files.at(path).second;
        return true;
    }
    WriteResult ReplaceAll(const std::string& path, const std::string& content) override
    {
        if (locksHeld != 1) throw std::logic_error("write without the lock");
        if (writeResult == WriteResult::Written) files[path] = {Kind::File, content};
        return writeResult;
    }
    void Remove(const std::string& path) override { files.erase(path); }
};

// A disk in memory under DiskLogFile. Every operation takes msPerOp on its clock;
// faults[op] hands out error codes for the next calls of op. A replacement that
// fails with 1176 leaves the log gone and the new content under the temporary
// name, one that fails with 1177 leaves the old log under the backup name.
class FakeDisk : public FileOps {
public:
    struct Entry {
        std::string content;
        bool helper = false;
        bool folder = false;
    };
    std::map<std::string, Entry> files;
    std::map<std::string, std::deque<error::Code>> faults;
    std::uint32_t now = 0;
    std::uint32_t msPerOp = 0;
    std::uint32_t lockHeldUntil = 0;  // another writer's lock, until then on the clock (UINT32_MAX: for good)
    std::uint32_t lockPassedEvery = 0;  // meanwhile the lock goes to the next writer every so many ms
    int lockTries = 0;
    std::uint32_t longestPause = 0;
    bool readerHoldsLog = false;
    std::string lockKind;  // "file" or "log" once locked

    std::string Content(const std::string& path) const
    {
        auto it = files.find(path);
        return it == files.end() ? "(none)" : it->second.content;
    }
    bool Has(const std::string& path) const { return files.count(path) != 0; }

    std::uint32_t ProcessId() override { return 1234; }
    std::uint32_t Milliseconds() override { return now; }
    void Pause(std::uint32_t ms) override
    {
        now += ms;
        longestPause = std::max(longestPause, ms);
    }
    std::string FullPath(const std::string& path) override { return path; }
    error::Code Lock(const std::string& name, std::unique_ptr<LogFileAccess::Lock>& lock) override
    {
        ++lockTries;
        if (error::Code code = Take("Lock")) return code;
        if (now < lockHeldUntil) return error::SharingViolation;
        lockKind = "file";
        lock = std::make_unique<LogFileAccess::Lock>();
        (void)name;
        return error::None;
    }
    error::Code LockLogItself(const std::string& log, std::unique_ptr<LogFileAccess::Lock>& lock) override
    {
        if (error::Code code = Take("LockLogItself")) return code;
        if (!Has(log)) return error::FileNotFound;
        lockKind = "log";
        lock = std::make_unique<LogFileAccess::Lock>();
        return error::None;
    }
    error::Code Info(const std::string& path, FileInfo& info) override
    {
        if (error::Code code = Take("Info")) return code;
        auto it = files.find(path);
        if (it == files.end() && path.size() > 5 && path.compare(path.size() - 5, 5, ".lock") == 0 && now < lockHeldUntil) {
            info.written = lockPassedEvery ? now / lockPassedEvery : 0;  // each holder's lock file made anew
            return error::None;
        }
        if (it == files.end()) return error::FileNotFound;
        info.size = it->second.content.size();
        info.folder = it->second.folder;
        info.helper = it->second.helper;
        return error::None;
    }
    error::Code Read(const std::string& path, std::string& content) override
    {
        if (error::Code code = Take("Read")) return code;
        content = files.at(path).content;
        return error::None;
    }
    error::Code CreateHelper(const std::string& path, const zentrok::Content& content) override
    {
        if (error::Code code = Take("CreateHelper")) return code;
        if (Has(path)) return error::FileExists;
        files[path] = {Whole(content), true};
        return error::None;
    }
    error::Code Probe(const std::string& path) override
    {
        if (error::Code code = Take("Probe")) return code;
        if (readerHoldsLog) return error::SharingViolation;
        return Has(path) ? error::None : error::FileNotFound;
    }
    error::Code Replace(const std::string& log, const std::string& temp, const std::string& backup) override
    {
        const error::Code code = Take("Replace");
        if (code == error::UnableToMoveReplacement) files.erase(log);
        if (code == error::UnableToMoveReplacement2) Rename(log, backup);
        if (code) return code;
        Rename(log, backup);
        Rename(temp, log);
        files[log].helper = false;
        return error::None;
    }
    error::Code Move(const std::string& from, const std::string& to) override
    {
        if (error::Code code = Take("Move")) return code;
        if (!Has(from)) return error::FileNotFound;
        if (Has(to)) return error::AlreadyExists;
        Rename(from, to);
        files[to].helper = false;
        return error::None;
    }
    error::Code Delete(const std::string& path) override
    {
        if (error::Code code = Take("Delete")) return code;
        return files.erase(path) ? error::None : error::FileNotFound;
    }
    error::Code Rewrite(const std::string& path, const zentrok::Content& content) override
    {
        if (error::Code code = Take("Rewrite")) return code;
        files[path].content = Whole(content);
        return error::None;
    }
    std::vector<std::string> Find(const std::string& pattern) override
    {
        Take("Find");
        const std::string head = pattern.substr(0, pattern.find('*'));
        const std::string tail = pattern.substr(pattern.find('*') + 1);
        std::vector<std::string> names;
        for (const auto& [name, entry] : files)
            if (name.size() >= head.size() + tail.size() && name.compare(0, head.size(), head) == 0 &&
                name.compare(name.size() - tail.size(), tail.size(), tail) == 0)
                names.push_back(name);
        return names;
    }

private:
    static std::string Whole(const zentrok::Content& content)
    {
        struct Gather : ContentSink {
            std::string text;
            bool Put(std::string_view piece) override
            {
                text += piece;
                return true;
            }
        } gather;
        content.WriteTo(gather);
        return gather.text;
    }
    error::Code Take(const std::string& op)
    {
        now += msPerOp;
        auto& queue = faults[op];
        if (queue.empty()) return error::None;
        const error::Code code = queue.front();
        queue.pop_front();
        return code;
    }
    void Rename(const std::string& from, const std::string& to)
    {
        auto node = files.extract(from);
        if (node.empty()) return;
        node.key() = to;
        files.insert(std::move(node));
    }
};

class FakeProfile : public ProfileAccess {
public:
    std::string path = "C:\\App\\Zentrok.ini";
    std::map<std::string, std::string> values;  // "Section/Key" -> text
    int writesAllowed = 1000;
    int flushes = 0;

    const std::string& Path() const override { return path; }
    std::string ReadText(const char* section, const char* key, const std::string& def) override
    {
        auto it = values.find(std::string(section) + "/" + key);
        return it == values.end() ? def : it->second.substr(0, 2047);
    }
    bool WriteText(const char* section, const char* key, const std::string& value) override
    {
        if (writesAllowed-- <= 0) return false;
        values[std::string(section) + "/" + key] = value;
        return true;
    }
    void Flush() override { ++flushes; }
};

} // namespace zentrok::test
