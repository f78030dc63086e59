#include "Settings.h"

#include "Cp932.h"
#include "Error.h"
#include "Text.h"

namespace zentrok {

namespace {
std::int32_t ReadInteger(ProfileAccess& profile, const char* section, const char* key)
{
    return StrToIntDef(profile.ReadText(section, key, "1"), 1);
}

bool ReadBool(ProfileAccess& profile, const char* section, const char* key, bool def)
{
    return StrToIntDef(profile.ReadText(section, key, ""), def ? 1 : 0) != 0;
}

void Write(ProfileAccess& profile, const char* section, const char* key, const std::string& value)
{
    if (!profile.WriteText(section, key, value)) throw ZentrokError(FormatWith("%s に書き込めません", profile.Path()));
}

void WriteBool(ProfileAccess& profile, const char* section, const char* key, bool value)
{
    Write(profile, section, key, value ? "1" : "0");
}

constexpr const char* EventsSection = "Events";
constexpr const char* KeepKey = "Keep";
struct EventKey {
    const char* key;
    bool EventSwitches::*value;
};
constexpr EventKey EventKeys[] = {{"Lock", &EventSwitches::Lock},
                                  {"Sleep", &EventSwitches::Sleep},
                                  {"Remote", &EventSwitches::Remote},
                                  {"EndReason", &EventSwitches::EndReason}};

// An absent key gives each default back; a present one gives its text to both.
bool HasKey(ProfileAccess& profile, const char* section, const char* key)
{
    return profile.ReadText(section, key, "0") == profile.ReadText(section, key, "1");
}
} // namespace

std::string ProgramFolder(const std::string& exePath)
{
    const std::size_t at = LastDelimiter("\\:", exePath);
    return at == npos ? std::string() : exePath.substr(0, at + 1);
}

std::string DeriveSeparator(const std::string& separatorSetting)
{
    if (separatorSetting == "<TAB>") return "\t";
    if (separatorSetting == "-") return " - ";
    return separatorSetting;
}

void LoadSettings(SessionSettings& s, ProfileAccess& profile, const std::string& programFolder)
{
    s.Version = profile.ReadText("Basic", "Version", "2.00");
    s.Directory = profile.ReadText("Place", "Directory", programFolder);
    s.NameKind = ReadInteger(profile, "Name", "NameKind");
    s.NameDate = ReadInteger(profile, "Name", "NameDate");
    s.NameString = profile.ReadText("Name", "NameString", DefaultLogName);
    s.LogOnOff = ReadBool(profile, "Log", "LogOnOff", true);
    s.LogUserName = ReadBool(profile, "Log", "UserName", true);
    s.LogDate = ReadBool(profile, "Log", "Date", true);
    s.LogMachineName = ReadBool(profile, "Log", "MachineName", true);
    // A file with every field off gets all four, so a record is never empty; the dialog
    // shows them on too, and the file changes only when the dialog is confirmed.
    if (!s.LogOnOff && !s.LogUserName && !s.LogDate && !s.LogMachineName) static_cast<RecordFields&>(s) = RecordFields{};
    s.SeparatorSetting = profile.ReadText("Log", "Separator", "-");
    s.Separator = DeriveSeparator(s.SeparatorSetting);
    for (const EventKey& e : EventKeys) s.Events.*e.value = ReadBool(profile, EventsSection, e.key, false);
    s.Keep = ReadBool(profile, "Place", KeepKey, false);
    s.Syslog = ReadSyslogSettings(profile);
}

void SaveSettings(const SessionSettings& s, ProfileAccess& profile)
{
    Write(profile, "Basic", "Version", s.Version);
    Write(profile, "Place", "Directory", s.Directory);
    Write(profile, "Name", "NameKind", std::to_string(s.NameKind));
    Write(profile, "Name", "NameDate", std::to_string(s.NameDate));
    Write(profile, "Name", "NameString", s.NameString);
    WriteBool(profile, "Log", "LogOnOff", s.LogOnOff);
    WriteBool(profile, "Log", "UserName", s.LogUserName);
    WriteBool(profile, "Log", "Date", s.LogDate);
    WriteBool(profile, "Log", "MachineName", s.LogMachineName);
    Write(profile, "Log", "Separator", s.SeparatorSetting);
    // A file without the section stays as it was while every switch is off.
    bool wanted = false;
    for (const EventKey& e : EventKeys) wanted = wanted || s.Events.*e.value || HasKey(profile, EventsSection, e.key);
    if (wanted)
        for (const EventKey& e : EventKeys) WriteBool(profile, EventsSection, e.key, s.Events.*e.value);
    if (s.Keep || HasKey(profile, "Place", KeepKey)) WriteBool(profile, "Place", KeepKey, s.Keep);
    profile.Flush();
}

} // namespace zentrok
