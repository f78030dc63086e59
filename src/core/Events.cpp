#include "Events.h"

namespace zentrok {

const char* SessionChangeWord(SessionChange change, const EventSwitches& on)
{
    switch (change) {
    case SessionChange::Lock: return on.Lock ? LockWord : nullptr;
    case SessionChange::Unlock: return on.Lock ? UnlockWord : nullptr;
    case SessionChange::RemoteConnect: return on.Remote ? RemoteConnectWord : nullptr;
    case SessionChange::RemoteDisconnect: return on.Remote ? RemoteDisconnectWord : nullptr;
    case SessionChange::Other: break;
    }
    return nullptr;
}

const char* PowerEvents::Notice(PowerNotice notice, const EventSwitches& on)
{
    switch (notice) {
    case PowerNotice::Suspend:
        resumed_ = false;
        return on.Sleep ? SleepWord : nullptr;
    case PowerNotice::Resume:
        if (resumed_) return nullptr;
        resumed_ = true;
        return on.Sleep ? ResumeWord : nullptr;
    case PowerNotice::Other: break;
    }
    return nullptr;
}

std::string WithEndReason(const std::string& record, const std::string& separator, bool logoff)
{
    return record + separator + (logoff ? LogoffReason : ShutdownReason);
}

namespace {
constexpr std::size_t WordBytes = 6;
constexpr std::size_t DateTimeBytes = 20;  // "yyyy/mm/dd hh:mm:ss."

// Takes a field of the given length from the front of rest, with the separator after
// it unless the line ends there; the field's bytes, or nothing.
bool TakeField(std::string_view& rest, std::size_t length, std::string_view separator, std::string_view& field)
{
    if (rest.size() < length) return false;
    field = rest.substr(0, length);
    rest.remove_prefix(length);
    if (rest.empty()) return true;
    if (rest.substr(0, separator.size()) != separator) return false;
    rest.remove_prefix(separator.size());
    return true;
}

enum class LineKind { Logon, Logoff, Other };

LineKind Classify(std::string_view line, const RecordFields& f, std::string_view separator, std::string_view user,
                  std::string_view machine)
{
    std::string_view word, field;
    if (!TakeField(line, WordBytes, separator, word)) return LineKind::Other;
    if (f.LogUserName && (!TakeField(line, user.size(), separator, field) || field != user)) return LineKind::Other;
    if (f.LogDate && !TakeField(line, DateTimeBytes, separator, field)) return LineKind::Other;
    // A reason field may follow the computer's name.
    if (f.LogMachineName && (!TakeField(line, machine.size(), separator, field) || field != machine))
        return LineKind::Other;
    if (word == LogonWord) return line.empty() ? LineKind::Logon : LineKind::Other;
    if (word == LogoffWord) return LineKind::Logoff;
    return LineKind::Other;
}
} // namespace

bool LogonWithoutLogoff(std::string_view logHead, RecordFields fields, const std::string& separator,
                        const std::string& user, const std::string& machine)
{
    if (!fields.LogOnOff && !fields.LogUserName && !fields.LogDate && !fields.LogMachineName) fields = RecordFields{};
    if (!fields.LogOnOff) return false;
    std::size_t pos = 0;
    while (pos < logHead.size()) {
        std::size_t end = logHead.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = logHead.size();
        switch (Classify(logHead.substr(pos, end - pos), fields, separator, user, machine)) {
        case LineKind::Logon: return true;
        case LineKind::Logoff: return false;
        case LineKind::Other: break;
        }
        pos = end + 1;
    }
    return false;
}

} // namespace zentrok
