#include <gtest/gtest.h>

#include "SettingChecks.h"
#include "Settings.h"

using namespace zentrok;

namespace {
SettingEntries Valid()
{
    SettingEntries e;
    e.saveFolder = "C:\\Logs\\";
    e.fileName = "Zentrok.txt";
    return e;
}

bool Exists(const std::string& path) { return path == "C:\\Logs\\" || path == "C:\\Temp"; }

SessionSettings WithSeparator(const std::string& setting)
{
    SessionSettings s;
    s.SeparatorSetting = setting;
    return s;
}

std::string Stored(SeparatorChoice choice, const std::string& user)
{
    SettingEntries e = Valid();
    e.separator = choice;
    e.separatorUser = user;
    SessionSettings s;
    StoreEntries(e, s);
    return s.SeparatorSetting;
}
} // namespace

TEST(SettingEntries, UnknownKindsShowTheFirstChoice)
{
    SessionSettings s;
    for (int kind : {0, 9, -1}) {
        s.NameKind = kind;
        s.NameDate = kind;
        EXPECT_EQ(EntriesFromSettings(s).nameKind, 1) << kind;
        EXPECT_EQ(EntriesFromSettings(s).nameDate, 1) << kind;
    }
    s.NameKind = 4;
    s.NameDate = 3;
    EXPECT_EQ(EntriesFromSettings(s).nameKind, 4);
    EXPECT_EQ(EntriesFromSettings(s).nameDate, 3);
}

TEST(SettingEntries, SeparatorShownByExactComparison)
{
    EXPECT_EQ(EntriesFromSettings(WithSeparator(",")).separator, SeparatorChoice::Comma);
    EXPECT_EQ(EntriesFromSettings(WithSeparator("-")).separator, SeparatorChoice::Hyphen);
    EXPECT_EQ(EntriesFromSettings(WithSeparator("<TAB>")).separator, SeparatorChoice::Tab);
    EXPECT_EQ(EntriesFromSettings(WithSeparator("<TAB>")).separatorUser, "");
    for (const char* own : {"<tab>", " - ", "", ";"}) {
        const SettingEntries e = EntriesFromSettings(WithSeparator(own));
        EXPECT_EQ(e.separator, SeparatorChoice::Other) << own;
        EXPECT_EQ(e.separatorUser, own);
    }
}

TEST(SettingEntries, StoredSeparatorIsTheChoiceOrTheTrimmedOwnText)
{
    EXPECT_EQ(Stored(SeparatorChoice::Comma, "ignored"), ",");
    EXPECT_EQ(Stored(SeparatorChoice::Hyphen, ""), "-");
    EXPECT_EQ(Stored(SeparatorChoice::Tab, ""), "<TAB>");
    EXPECT_EQ(Stored(SeparatorChoice::Other, "   "), "");
    EXPECT_EQ(Stored(SeparatorChoice::Other, " ; "), ";");
    EXPECT_EQ(Stored(SeparatorChoice::Other, "\t<TAB>\t"), "<TAB>");
}

TEST(SettingEntries, StoredVerbatimExceptAMissingNameKind)
{
    SessionSettings s;
    s.NameKind = 3;
    SettingEntries e = Valid();
    e.nameKind = 0;
    e.nameDate = 2;
    e.fileName = " a b ";
    e.logItems.LogUserName = false;
    StoreEntries(e, s);
    EXPECT_EQ(s.NameKind, 3);
    EXPECT_EQ(s.NameDate, 2);
    EXPECT_EQ(s.NameString, " a b ");
    EXPECT_EQ(s.Directory, "C:\\Logs\\");
    EXPECT_FALSE(s.LogUserName);
    EXPECT_TRUE(s.LogOnOff && s.LogDate && s.LogMachineName);
}

TEST(CompleteSaveFolder, ProgramFolderWhenEmptyElseAFinalBackslash)
{
    EXPECT_EQ(CompleteSaveFolder("", "C:\\App\\"), "C:\\App\\");
    EXPECT_EQ(CompleteSaveFolder("C:\\Temp", "C:\\App\\"), "C:\\Temp\\");
    EXPECT_EQ(CompleteSaveFolder("C:\\Temp\\", "C:\\App\\"), "C:\\Temp\\");
    EXPECT_EQ(CompleteSaveFolder("C:", "C:\\App\\"), "C:\\");
    // "ソ" ends in byte 0x5C but is no backslash.
    EXPECT_EQ(CompleteSaveFolder("C:\\ソ", "C:\\App\\"), "C:\\ソ\\");
    EXPECT_EQ(CompleteSaveFolder("C:\\ソ\\", "C:\\App\\"), "C:\\ソ\\");
}

TEST(CheckSaveFolder, OnlyAnExistingFolderPasses)
{
    SettingEntries e = Valid();
    EXPECT_FALSE(CheckSaveFolder(e, Exists));
    e.saveFolder = "C:\\Nowhere\\";
    const auto failure = CheckSaveFolder(e, Exists);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->field, SettingField::SaveFolder);
    EXPECT_EQ(failure->caption, "フォルダが見つかりません");
    EXPECT_EQ(failure->text, "指定されたフォルダ[ C:\\Nowhere\\ ]は存在しません。\n\n存在するフォルダを指定して下さい。");
    e.saveFolder = "";
    EXPECT_TRUE(CheckSaveFolder(e, [](const std::string&) { return true; }));
}

TEST(CheckFileName, EmptyFixedNameFirstThenUnusableCharacters)
{
    SettingEntries e = Valid();
    EXPECT_FALSE(CheckFileName(e));
    e.fileName = "";
    auto failure = CheckFileName(e);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->caption, "ファイル名が未指定");
    EXPECT_EQ(failure->field, SettingField::FileName);
    e.nameKind = 2;  // the fixed name isn't in use: empty is allowed
    EXPECT_FALSE(CheckFileName(e));

    e.fileName = "a:b";  // checked whatever the kind
    failure = CheckFileName(e);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->caption, "ファイル名に使えない文字があります");
    EXPECT_EQ(failure->text, "ファイル名には \\ / : * ? \" < > | の文字は使用できません。"
                             "これらの文字を使わない名称を指定して下さい。");
    EXPECT_EQ(failure->field, SettingField::FileName);
}

TEST(CheckFileName, CharactersAreScannedByCodePage932Characters)
{
    for (const char* bad : {"\\", "/", ":", "*", "?", "\"", "<", ">", "|", "ソ\\", "表|"})
        EXPECT_TRUE(HasUnusableFileNameChar(bad)) << bad;
    // Trail bytes 0x5C and 0x7C belong to their characters.
    for (const char* good : {"ソフト.txt", "表.txt", "\x83\x7C.txt", " a b ", ""})
        EXPECT_FALSE(HasUnusableFileNameChar(good)) << good;
}

TEST(CheckLogItems, EmptyOwnSeparatorFirstThenNoItems)
{
    SettingEntries e = Valid();
    EXPECT_FALSE(CheckLogItems(e));
    e.separator = SeparatorChoice::Other;
    e.separatorUser = "   ";  // blanks pass; they are trimmed away when stored
    EXPECT_FALSE(CheckLogItems(e));

    e.separatorUser = "";
    e.logItems = {false, false, false, false};
    auto failure = CheckLogItems(e);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->caption, "区切り文字がありません");
    EXPECT_EQ(failure->field, SettingField::SeparatorUser);

    e.separator = SeparatorChoice::Comma;
    failure = CheckLogItems(e);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->caption, "項目の指定不足");
    EXPECT_EQ(failure->field, SettingField::LogOnOff);
    EXPECT_NE(failure->text.find("指定して下さい。\n\n実用的な観点から"), std::string::npos);

    e.logItems.LogMachineName = true;
    EXPECT_FALSE(CheckLogItems(e));
}
