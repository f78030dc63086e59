// The log as the real program leaves it: foreign content, naming and fields from the settings file.
#include <gtest/gtest.h>

#include "Driver.h"

using namespace e2e;
using namespace std::string_literals;

TEST(LogFile, CarriesForeignBytesOverAndConvertsLineEnds)
{
    TempFolder folder;
    const std::string odd = "nul\0byte\nlone cr\rbad \x81\xff cp932\r\n\r\nno end"s;
    WriteBytes(folder / "Zentrok.txt", odd);
    Program zentrok(folder);
    const std::string log = ReadBytes(folder / "Zentrok.txt");
    const std::size_t firstEnd = log.find("\r\n");
    EXPECT_EQ(log.substr(firstEnd + 2), "nul\0byte\r\nlone cr\r\nbad \x81\xff cp932\r\n\r\nno end\r\n"s);
}

TEST(LogFile, SettingsFileChoosesFolderNameFieldsAndSeparator)
{
    TempFolder folder;
    CreateDirectoryA((folder / "logs").c_str(), nullptr);
    WriteBytes(folder / "Zentrok.ini",
               "[Place]\r\nDirectory=" + (folder / "logs\\") +
                   "\r\n[Name]\r\nNameKind=2\r\nNameDate=2\r\n[Log]\r\nDate=0\r\nSeparator=<TAB>\r\n");
    SYSTEMTIME t;
    GetLocalTime(&t);
    char name[16];
    snprintf(name, sizeof name, "%02d%02d.txt", t.wYear % 100, t.wMonth);
    Program zentrok(folder);
    PostMessageA(zentrok.MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_EQ(zentrok.WaitExit(), 0u);
    const auto lines = Lines(ReadBytes(folder / "logs\\" + name));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "LOGOFF\t" + UserName() + "\t" + ComputerName());
    EXPECT_EQ(lines[1], "LOGON \t" + UserName() + "\t" + ComputerName());
}

TEST(LogFile, FolderWithoutFinalBackslashRunsTogetherWithTheName)
{
    TempFolder folder;
    WriteBytes(folder / "Zentrok.ini", "[Place]\r\nDirectory=" + (folder / "log") +
                                           "\r\n[Name]\r\nNameKind=4\r\n[Log]\r\nLogOnOff=0\r\nUserName=0\r\n"
                                           "Date=0\r\nMachineName=0\r\nSeparator=,\r\n");
    Program zentrok(folder);
    const auto lines = Lines(ReadBytes(folder / ("log" + UserName() + ".txt")));
    ASSERT_EQ(lines.size(), 1u);
    // All fields off: the record carries all four.
    EXPECT_EQ(lines[0].rfind("LOGON ," + UserName() + ",", 0), 0u);
}
