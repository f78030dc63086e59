// Logs and settings that are not what the program expects, and a log that goes
// away under it: no crash, no lost byte, the old log kept when it can't be written.
#include <gtest/gtest.h>

#include <random>

#include "Driver.h"

using namespace e2e;
using namespace std::string_literals;

namespace {
std::string WithoutLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

std::size_t CountCrLf(const std::string& text)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\r' && text[i + 1] == '\n') ++n;
    return n;
}

// Puts one record on top of the log with the core writer, no line limit to speak of.
void WriteOneRecord(const std::string& log)
{
    HANDLE writer = StartProcess("\"" + LogWriterExe() + "\" \"" + log + "\" NEW 1 2147483647");
    ASSERT_TRUE(writer);
    ASSERT_EQ(Finish(writer, 120000), 0u);
}

void ExpectCloseRefused(Program& zentrok, const std::string& log)
{
    PostMessageA(zentrok.MainWindow(), WM_CLOSE, 0, 0);
    const auto box = zentrok.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "ファイル " + log + " を作成できません.");
    EXPECT_TRUE(PressOk(*box));
    EXPECT_TRUE(zentrok.Running());
}
} // namespace

TEST(ForeignLog, EveryByteIsCarriedOver)
{
    std::mt19937 random(20261207);
    std::string noise(100u << 20, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    const std::string cases[] = {
        noise,                                                              // 100 MB of random bytes
        std::string(10u << 20, 'a') + "\r\n" + std::string(10u << 20, 'b'),  // lines of 10 MB
        "a\0b\0\0c\r\n\0\r\n"s,                                             // NUL bytes
        "\xFF\xFE" "L\0O\0G\0\r\0\n\0"s,                                    // UTF-16 with its byte-order mark
        std::string(1000000, '\r'),                                         // only CR bytes
    };
    for (const std::string& old : cases) {
        TempFolder folder;
        const std::string log = folder / "Zentrok.txt";
        WriteBytes(log, old);
        WriteOneRecord(log);
        const std::string now = ReadBytes(log);
        ASSERT_EQ(now.compare(0, 7, "NEW 1\r\n"), 0) << old.size();
        EXPECT_TRUE(WithoutLineEnds(now.substr(7)) == WithoutLineEnds(old)) << old.size();
        EXPECT_EQ(now.compare(now.size() - 2, 2, "\r\n"), 0);
        EXPECT_EQ(FileNames(folder.Path()).size(), 1u);
    }
}

TEST(ForeignLog, OnlyCrBytesAreThatManyEmptyLines)
{
    TempFolder folder;
    const std::string log = folder / "Zentrok.txt";
    WriteBytes(log, std::string(1000, '\r'));
    WriteOneRecord(log);
    EXPECT_EQ(CountCrLf(ReadBytes(log)), 1001u);
}

TEST(ForeignLog, AMillionLinesWithTheLargestLineCount)
{
    TempFolder folder;
    const std::string log = folder / "Zentrok.txt";
    std::string old;
    const std::string line = "LOGON  - someone - 2026/01/01 09:00:00. - PC-WITH-A-LONG-NAME\r\n";
    old.reserve(line.size() * 1000000);
    for (int i = 0; i < 1000000; ++i) old += line;
    WriteBytes(log, old);
    Program zentrok(folder, "2147483647");
    const std::string now = ReadBytes(log);
    EXPECT_EQ(CountCrLf(now), 1000001u);
    EXPECT_EQ(now.compare(0, 9, "LOGON  - "), 0);
    EXPECT_TRUE(now.compare(now.size() - old.size(), old.size(), old) == 0);
    EXPECT_TRUE(IconPresent(zentrok.MainWindow()));
}

TEST(Fault, LogFolderRemovedWhileRunning)
{
    TempFolder folder;
    const std::string logs = folder / "logs";
    CreateDirectoryA(logs.c_str(), nullptr);
    WriteBytes(folder / "Zentrok.ini", "[Place]\r\nDirectory=" + logs + "\\\r\n");
    Program zentrok(folder);
    const std::string log = logs + "\\Zentrok.txt";
    ASSERT_TRUE(Exists(log));
    DeleteFileA(log.c_str());
    RemoveDirectoryA(logs.c_str());
    ExpectCloseRefused(zentrok, log);
    EXPECT_FALSE(Exists(logs));  // never created
    EXPECT_TRUE(IconPresent(zentrok.MainWindow()));
}

TEST(Fault, LogReplacedByAFolderWhileRunning)
{
    TempFolder folder;
    Program zentrok(folder);
    const std::string log = folder / "Zentrok.txt";
    DeleteFileA(log.c_str());
    CreateDirectoryA(log.c_str(), nullptr);
    ExpectCloseRefused(zentrok, log);
    EXPECT_TRUE(FileNames(log).empty());
    EXPECT_EQ(FileNames(folder.Path()).size(), 2u);  // the program and the folder: no temporary or lock file
}

TEST(HostileSettings, StrangeSettingsFilesStillGiveALogLine)
{
    std::string binary(4096, '\0');
    std::mt19937 random(7);
    for (char& c : binary) c = static_cast<char>(random());
    const std::string files[] = {
        binary,
        "[Log]\r\nSeparator=" + std::string(100000, 'x') + "\r\n",                 // a value of 100 KB
        "Separator=,\r\nNameKind=3\r\n",                                              // keys without sections
        "[Log]\r\nSeparator=,\r\nSeparator=;\r\n[Log]\r\nSeparator=!\r\n",          // duplicated keys
        "\xFF\xFE[\0L\0o\0g\0]\0\r\0\n\0S\0e\0p\0a\0r\0a\0t\0o\0r\0=\0,\0\r\0\n\0"s,  // UTF-16
    };
    for (const std::string& ini : files) {
        TempFolder folder;
        WriteBytes(folder / "Zentrok.ini", ini);
        Program zentrok(folder);
        ASSERT_TRUE(zentrok.Running()) << ini.size();
        EXPECT_FALSE(zentrok.WaitMessageBox(300)) << ini.size();
        const auto lines = Lines(ReadBytes(folder / "Zentrok.txt"));
        ASSERT_EQ(lines.size(), 1u) << ini.size();
        EXPECT_EQ(lines[0].compare(0, 5, "LOGON"), 0);
        EXPECT_LE(lines[0].size(), 6 + 3 * 2047 + 256 + 20 + 256);  // a separator is cut to 2047 bytes
    }
}
