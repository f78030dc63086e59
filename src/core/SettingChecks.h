// What the settings dialog shows, its checks and their messages, and what it
// stores, apart from the windows that show it.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Events.h"
#include "Record.h"

namespace zentrok {

struct SessionSettings;

// In the order of the dialog's radio buttons.
enum class SeparatorChoice { Comma, Hyphen, Tab, Other };

// The dialog's values, one per control or radio group.
struct SettingEntries {
    std::string saveFolder;
    std::int32_t nameKind = 1;  // the radio button that is on, 1 to 4; 0 when none is
    std::int32_t nameDate = 1;  // the date item, 1 to 3
    std::string fileName;
    RecordFields logItems;
    SeparatorChoice separator = SeparatorChoice::Hyphen;
    std::string separatorUser;  // shown only for a separator of the user's own
    EventSwitches events;
    bool keep = false;
};

// The values the dialog opens with; kinds it doesn't know show the first choice.
SettingEntries EntriesFromSettings(const SessionSettings& settings);
// Copies confirmed values back; a missing name kind keeps the one stored.
void StoreEntries(const SettingEntries& entries, SessionSettings& settings);

// The folder field as it is left: the program's folder when empty, else with a final "\".
std::string CompleteSaveFolder(const std::string& folder, const std::string& programFolder);

// Whether name holds a character that a file name can't: \ / : * ? " < > |
bool HasUnusableFileNameChar(std::string_view name);

// The control a failed check sends the user back to.
enum class SettingField { SaveFolder, FileName, SeparatorUser, LogOnOff };

struct CheckFailure {
    SettingField field;
    std::string caption, text;
};

using FolderExists = std::function<bool(const std::string& path)>;

// Each check gives nothing when its page is valid, else the message to show.
std::optional<CheckFailure> CheckSaveFolder(const SettingEntries& entries, const FolderExists& folderExists);
std::optional<CheckFailure> CheckFileName(const SettingEntries& entries);
std::optional<CheckFailure> CheckLogItems(const SettingEntries& entries);

} // namespace zentrok
