// Logs and settings that are not what the program expects, and a log that goes
// away under it: no crash, no lost byte, the old log kept when it can't be written.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "Driver.h"

using namespace e2e;
using namespace std::string_literals;

namespace {
constexpr std::size_t AllLines = static_cast<std::size_t>(-1);

// What a foreign log becomes under the new line: its first `lines` lines, each
// ended by CR LF, a lone LF, a lone CR or the end of the text, with their bytes
// as they were and CR LF after every one.
std::string Kept(const std::string& old, std::size_t lines)
{
    std::string out;
    out.reserve(old.size() + old.size() / 8);
    bool open = false;  // bytes of a line whose end hasn't come yet
    for (std::size_t i = 0; i < old.size() && lines > 0;) {
        const char c = old[i++];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i < old.size() && old[i] == '\n') ++i;
            out += "\r\n";
            --lines;
            open = false;
        } else {
            out += c;
            open = true;
        }
    }
    if (open) out += "\r\n";
    return out;
}

// Starts the program with the arguments on a folder whose log is old; holds when the
// log is then exactly its logon line, CR LF and rest, and nothing else was left there.
::testing::AssertionResult StartsOver(const std::string& old, const std::string& arguments, const std::string& rest)
{
    TempFolder folder;
    const std::string log = folder / "Zentrok.txt";
    WriteBytes(log, old);
    const std::string before = NowText();
    Program zentrok(folder, arguments);
    const std::string after = NowText();
    if (!IconPresent(zentrok.MainWindow())) return ::testing::AssertionFailure() << "no icon";
    const std::string now = ReadBytes(log);
    const std::size_t end = now.find("\r\n");
    if (end == std::string::npos) return ::testing::AssertionFailure() << "no line in " << now.size() << " bytes";
    if (auto record = IsRecord(now.substr(0, end), "LOGON ", before, after); !record) return record;
    if (now.size() - end - 2 != rest.size())
        return ::testing::AssertionFailure() << now.size() - end - 2 << " bytes after the logon line, not " << rest.size();
    const auto differ = std::mismatch(rest.begin(), rest.end(), now.begin() + static_cast<std::ptrdiff_t>(end + 2));
    if (differ.first != rest.end())
        return ::testing::AssertionFailure() << "differs at byte " << differ.first - rest.begin() << " of the old lines";
    if (FileNames(folder.Path()).size() != 2)  // the program and its log: no temporary or lock file
        return ::testing::AssertionFailure() << FileNames(folder.Path()).size() << " files in the folder";
    return ::testing::AssertionSuccess();
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
    std::string noise(40u << 20, '\0');  // more than two of the pieces the file layer reads and writes
    for (char& c : noise) c = static_cast<char>(random());
    const std::string cases[] = {
        noise,                                                              // 40 MB of random bytes
        std::string(10u << 20, 'a') + "\r\n" + std::string(10u << 20, 'b'),  // lines of 10 MB
        "a\0b\0\0c\r\n\0\r\n"s,                                             // NUL bytes
        "\xFF\xFE" "L\0O\0G\0\r\0\n\0"s,                                    // UTF-16 with its byte-order mark
        std::string(1000000, '\r'),                                         // only CR bytes
    };
    for (const std::string& old : cases) EXPECT_TRUE(StartsOver(old, "2147483647", Kept(old, AllLines))) << old.size();
    // Every kind of line end, and a last line without one, spelt out.
    EXPECT_TRUE(StartsOver("one\ntwo\rthree\r\n\r\rfour", "2147483647", "one\r\ntwo\r\nthree\r\n\r\n\r\nfour\r\n"));
    // The default limit of 1000 lines: the new one and 999 old ones.
    const std::string head = noise.substr(0, 1u << 20);  // some 8000 lines
    EXPECT_TRUE(StartsOver(head, "", Kept(head, 999)));
}

TEST(ForeignLog, OnlyCrBytesAreThatManyEmptyLines)
{
    EXPECT_TRUE(StartsOver(std::string(1000, '\r'), "2147483647", Kept(std::string(1000, '\n'), AllLines)));
    EXPECT_TRUE(StartsOver(std::string(1000, '\r'), "", Kept(std::string(999, '\n'), AllLines)));  // cut to 1000 lines
}

TEST(ForeignLog, AMillionLinesWithTheLargestLineCount)
{
    std::string old;
    const std::string line = "LOGON  - someone - 2026/01/01 09:00:00. - PC-WITH-A-LONG-NAME\r\n";
    old.reserve(line.size() * 1000000);
    for (int i = 0; i < 1000000; ++i) old += line;
    EXPECT_TRUE(StartsOver(old, "2147483647", old));
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
