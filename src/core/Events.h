// Records beyond logon and logoff: lock, sleep and remote-session lines, the
// reason a session ended, and a previous run that left no logoff line.
#pragma once
#include <string>
#include <string_view>

#include "Record.h"

namespace zentrok {

// Which of the extra records are written; all off unless the settings file says so.
struct EventSwitches {
    bool Lock = false;       // LOCK / UNLOCK
    bool Sleep = false;      // SLEEP / RESUME
    bool Remote = false;     // RCONN / RDISC
    bool EndReason = false;  // the reason field on a session end's LOGOFF
};

// Six bytes each, like the logon and logoff words.
inline constexpr const char* LockWord = "LOCK  ";
inline constexpr const char* UnlockWord = "UNLOCK";
inline constexpr const char* SleepWord = "SLEEP ";
inline constexpr const char* ResumeWord = "RESUME";
inline constexpr const char* RemoteConnectWord = "RCONN ";
inline constexpr const char* RemoteDisconnectWord = "RDISC ";

enum class SessionChange { Lock, Unlock, RemoteConnect, RemoteDisconnect, Other };

// The word recorded for a change of the session, or nullptr when the switches leave it out.
const char* SessionChangeWord(SessionChange change, const EventSwitches& on);

enum class PowerNotice { Suspend, Resume, Other };

// Turns power notices into words: one SLEEP per suspend and one RESUME per wake,
// although Windows sends two resume notices for a wake the user caused.
class PowerEvents {
public:
    // The word to record for this notice, or nullptr.
    const char* Notice(PowerNotice notice, const EventSwitches& on);

private:
    bool resumed_ = false;  // the last notice was a resume: the next one belongs to the same wake
};

inline constexpr const char* LogoffReason = "ログオフ";
inline constexpr const char* ShutdownReason = "シャットダウン";

// A session end's record with its reason as one more field after the separator;
// the record is never empty (all fields off means all on), so the reason always follows one.
std::string WithEndReason(const std::string& record, const std::string& separator, bool logoff);

// How far back the start looks for its previous run: the newest lines only.
inline constexpr std::size_t LogHeadBytes = 64 * 1024;

// Whether the newest LOGON or LOGOFF line of user on machine in logHead (the log's
// first bytes, newest first) is a LOGON: that run ended without its logoff line.
// Lines are recognised by the fields the settings write now; other users' and
// computers' lines, the extra records and foreign lines are passed over. Without
// the event word field nothing can be told: false.
bool LogonWithoutLogoff(std::string_view logHead, RecordFields fields, const std::string& separator,
                        const std::string& user, const std::string& machine);

} // namespace zentrok
