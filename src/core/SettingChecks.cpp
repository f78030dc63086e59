#include "SettingChecks.h"

#include "Cp932.h"
#include "Settings.h"
#include "Text.h"

namespace zentrok {

namespace {
struct FixedSeparator {
    SeparatorChoice choice;
    const char* setting;
};

// Compared in this order with the stored text, exactly.
constexpr FixedSeparator FixedSeparators[] = {
    {SeparatorChoice::Comma, ","},
    {SeparatorChoice::Hyphen, "-"},
    {SeparatorChoice::Tab, "<TAB>"},
};

constexpr std::string_view UnusableFileNameChars = "\\/:*?\"<>|";

std::int32_t ChoiceOrFirst(std::int32_t value, std::int32_t count) { return value >= 1 && value <= count ? value : 1; }

CheckFailure Failure(SettingField field, const char* caption, std::string text) { return {field, caption, std::move(text)}; }
} // namespace

SettingEntries EntriesFromSettings(const SessionSettings& s)
{
    SettingEntries e;
    e.saveFolder = s.Directory;
    e.nameKind = ChoiceOrFirst(s.NameKind, 4);
    e.nameDate = ChoiceOrFirst(s.NameDate, 3);
    e.fileName = s.NameString;
    e.logItems = s;
    e.events = s.Events;
    e.keep = s.Keep;
    e.separator = SeparatorChoice::Other;
    for (const FixedSeparator& f : FixedSeparators)
        if (s.SeparatorSetting == f.setting) {
            e.separator = f.choice;
            return e;
        }
    e.separatorUser = s.SeparatorSetting;
    return e;
}

void StoreEntries(const SettingEntries& e, SessionSettings& s)
{
    s.Directory = e.saveFolder;
    if (e.nameKind != 0) s.NameKind = e.nameKind;
    s.NameDate = e.nameDate;
    s.NameString = e.fileName;
    static_cast<RecordFields&>(s) = e.logItems;
    s.Events = e.events;
    s.Keep = e.keep;
    s.SeparatorSetting = Trim(e.separatorUser);
    for (const FixedSeparator& f : FixedSeparators)
        if (e.separator == f.choice) s.SeparatorSetting = f.setting;
}

std::string CompleteSaveFolder(const std::string& folder, const std::string& programFolder)
{
    if (folder.empty()) return programFolder;
    const std::size_t last = LastCharStart(folder);
    // A double-byte character ending in byte 0x5C is no backslash.
    if (folder.size() - last == 1 && folder[last] == '\\') return folder;
    return folder + "\\";
}

bool HasUnusableFileNameChar(std::string_view name)
{
    for (char c : UnusableFileNameChars)
        if (FindChar(name, c) != npos) return true;
    return false;
}

std::optional<CheckFailure> CheckSaveFolder(const SettingEntries& e, const FolderExists& folderExists)
{
    if (!e.saveFolder.empty() && folderExists(e.saveFolder)) return std::nullopt;
    return Failure(SettingField::SaveFolder, "フォルダが見つかりません",
                   "指定されたフォルダ[ " + e.saveFolder + " ]は存在しません。\n\n存在するフォルダを指定して下さい。");
}

std::optional<CheckFailure> CheckFileName(const SettingEntries& e)
{
    if (e.nameKind == 1 && e.fileName.empty())
        return Failure(SettingField::FileName, "ファイル名が未指定",
                       "ログファイルの固定ファイル名が指定されていません。何か名称を指定するか、"
                       "他の選択肢を指定して下さい。");
    if (HasUnusableFileNameChar(e.fileName))
        return Failure(SettingField::FileName, "ファイル名に使えない文字があります",
                       "ファイル名には \\ / : * ? \" < > | の文字は使用できません。"
                       "これらの文字を使わない名称を指定して下さい。");
    return std::nullopt;
}

std::optional<CheckFailure> CheckLogItems(const SettingEntries& e)
{
    // Tested untrimmed: blanks pass here and are trimmed away when stored.
    if (e.separator == SeparatorChoice::Other && e.separatorUser.empty())
        return Failure(SettingField::SeparatorUser, "区切り文字がありません",
                       "任意の区切り文字を使うよう選択されていますが、区切り文字欄が空欄です。"
                       "何か文字を入力するか、他の選択肢を指定して下さい。");
    const RecordFields& f = e.logItems;
    if (!f.LogOnOff && !f.LogUserName && !f.LogDate && !f.LogMachineName)
        return Failure(SettingField::LogOnOff, "項目の指定不足",
                       "ログへの出力項目が1つも選択されていないので、このままではログファイルに何も出力されません。"
                       "最低1項目は指定して下さい。\n\n"
                       "実用的な観点から、最低でも「Logon/Logoff種別」と「ログオン日時」の2項目を記録しないと"
                       "意味がないと思います。");
    return std::nullopt;
}

} // namespace zentrok
