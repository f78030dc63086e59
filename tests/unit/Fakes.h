// Fixed stand-ins for the system, the log's file access and the settings file.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

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
