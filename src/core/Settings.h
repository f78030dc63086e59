// The settings and their file, "Zentrok.ini" beside the program.
#pragma once
#include <cstdint>
#include <string>

#include "Events.h"
#include "Record.h"
#include "Syslog.h"

namespace zentrok {

struct SessionSettings : RecordFields {
    std::string Version;
    std::string Directory;
    std::int32_t NameKind = 0;
    std::int32_t NameDate = 0;
    std::string NameString;
    std::string SeparatorSetting;
    std::string Separator;  // derived from SeparatorSetting at start-up only
    EventSwitches Events;
    bool Keep = false;  // lines that can't reach the log are kept and written later
    SyslogSettings Syslog;  // read only: no dialog writes it
};

// Private-profile access to one settings file.
class ProfileAccess {
public:
    virtual ~ProfileAccess() = default;
    virtual const std::string& Path() const = 0;
    // The key's text (at most 2047 bytes), or def when the key is absent.
    virtual std::string ReadText(const char* section, const char* key, const std::string& def) = 0;
    // False when the value could not be written.
    virtual bool WriteText(const char* section, const char* key, const std::string& value) = 0;
    // Puts pending writes on disk.
    virtual void Flush() = 0;
};

inline constexpr const char* SettingsFileName = "Zentrok.ini";
inline constexpr const char* DefaultLogName = "Zentrok.txt";

// The folder of a program file, with its final "\" (cut after the last "\" or ":").
std::string ProgramFolder(const std::string& exePath);

// The text actually put between fields: a tab for "<TAB>", " - " for "-", else as stored.
std::string DeriveSeparator(const std::string& separatorSetting);

void LoadSettings(SessionSettings& settings, ProfileAccess& profile, const std::string& programFolder);
// Writes all ten keys, and the [Events] keys and Keep each when one of them is on or
// the file has one already; raises ZentrokError at the first key that can't be written.
void SaveSettings(const SessionSettings& settings, ProfileAccess& profile);

} // namespace zentrok
