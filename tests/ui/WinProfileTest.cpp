// The settings through the system's real profile calls.
#include <gtest/gtest.h>

#include <windows.h>

#include "Error.h"
#include "WinProfile.h"

using namespace zentrok;

namespace {
std::string TempIni(const char* name)
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    const std::string path = std::string(base) + name;
    DeleteFileA(path.c_str());
    RemoveDirectoryA(path.c_str());
    return path;
}

SessionSettings Load(const std::string& path)
{
    SessionSettings s;
    WinProfile profile(path);
    LoadSettings(s, profile, "C:\\App\\");
    return s;
}
} // namespace

TEST(WinProfile, SaveThenLoadGivesTheSameMembers)
{
    const std::string ini = TempIni("zentrok-profile-test.ini");
    SessionSettings s = Load(ini);
    EXPECT_EQ(GetFileAttributesA(ini.c_str()), INVALID_FILE_ATTRIBUTES);  // loading creates nothing
    s.Version = "1.50";
    s.Directory = "D:\\ログ\\";
    s.NameKind = 3;
    s.NameDate = -2;
    s.NameString = "表示.txt";  // a trail byte 0x5C
    s.LogUserName = false;
    s.SeparatorSetting = "<TAB>";
    {
        WinProfile profile(ini);
        SaveSettings(s, profile);
    }
    const SessionSettings back = Load(ini);
    EXPECT_EQ(back.Version, "1.50");
    EXPECT_EQ(back.Directory, s.Directory);
    EXPECT_EQ(back.NameKind, 3);
    EXPECT_EQ(back.NameDate, -2);
    EXPECT_EQ(back.NameString, s.NameString);
    EXPECT_TRUE(back.LogOnOff);
    EXPECT_FALSE(back.LogUserName);
    EXPECT_EQ(back.Separator, "\t");
    DeleteFileA(ini.c_str());
}

TEST(WinProfile, LongValuesAreCutTo2047Bytes)
{
    const std::string ini = TempIni("zentrok-long-test.ini");
    WritePrivateProfileStringA("Name", "NameString", std::string(3000, 'a').c_str(), ini.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    EXPECT_EQ(Load(ini).NameString, std::string(2047, 'a'));
    DeleteFileA(ini.c_str());
}

TEST(WinProfile, UnwritableFileRaisesTheSaveError)
{
    const std::string ini = TempIni("zentrok-folder-test.ini");
    CreateDirectoryA(ini.c_str(), nullptr);  // a folder where the file should be
    WinProfile profile(ini);
    try {
        SaveSettings(Load(ini), profile);
        FAIL() << "no error";
    } catch (const ZentrokError& e) {
        EXPECT_EQ(std::string(e.what()), ini + " に書き込めません");
    }
    RemoveDirectoryA(ini.c_str());
}
