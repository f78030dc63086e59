// The records of the logs, as the report reads them: compact, with names kept once.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ReportTime.h"

namespace zentrok::report {

enum class Word : std::uint8_t { Logon, Logoff, Lock, Unlock, Sleep, Resume, RemoteConnect, RemoteDisconnect };
enum class Reason : std::uint8_t { None, Logoff, Shutdown };

using NameId = std::uint32_t;
constexpr NameId NoName = 0;

struct Record {
    Seconds time = 0;
    NameId user = NoName;
    NameId computer = NoName;
    std::uint32_t order = 0;  // as written, oldest first
    Word word = Word::Logon;
    Reason reason = Reason::None;
};

// Names compare without regard to ASCII letter case, as Windows does, and are shown as first seen.
class Names {
public:
    Names() : shown_(1) {}
    NameId Id(std::string_view name);
    const std::string& Shown(NameId id) const { return shown_[id]; }
    std::size_t Count() const { return shown_.size(); }  // ids run below it
    static std::string Folded(std::string_view name);

private:
    std::unordered_map<std::string, NameId> ids_;
    std::vector<std::string> shown_;
    // The last names asked for: a log's lines mostly repeat them.
    std::string recent_[2];
    NameId recentId_[2] = {NoName, NoName};
};

} // namespace zentrok::report
