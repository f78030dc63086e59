// One log line: the chosen fields joined by the separator.
#pragma once
#include <string>

namespace zentrok {

class SystemServices;
struct ClockReading;

struct RecordFields {
    bool LogOnOff = true;
    bool LogUserName = true;
    bool LogDate = true;
    bool LogMachineName = true;
};

inline constexpr const char* LogonWord = "LOGON ";
inline constexpr const char* LogoffWord = "LOGOFF";

// The user's and the computer's names, or a fixed text when the system can't tell.
std::string GetLogonUserName(SystemServices& system);
std::string GetMachineName(SystemServices& system);

// The record for eventWord: the fields switched on, in their order. LoadSettings sees to it
// that at least one is, so that a record is never empty.
std::string MakeLogRecord(const std::string& eventWord, const RecordFields& fields, const std::string& separator,
                          SystemServices& system);
// The same with the clock read already.
std::string MakeLogRecord(const std::string& eventWord, const RecordFields& fields, const std::string& separator,
                          SystemServices& system, const ClockReading& at);

} // namespace zentrok
