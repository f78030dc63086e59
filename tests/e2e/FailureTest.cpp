// A log that can't be written: the error box, the log left as it was, the program going on.
#include <gtest/gtest.h>

#include <future>

#include "ControlIds.h"
#include "Driver.h"

using namespace e2e;

namespace {
const std::string CantCreate = "ファイル %s を作成できません.";

std::string With(const std::string& pattern, const std::string& path)
{
    std::string s = pattern;
    s.replace(s.find("%s"), 2, path);
    return s;
}

// Expects the error box with text, presses OK.
void ExpectErrorBox(const Program& zentrok, const std::string& text)
{
    const auto box = zentrok.WaitMessageBox();
    ASSERT_TRUE(box) << "no error box";
    EXPECT_EQ(box->text, text);
    EXPECT_EQ(box->caption, "Zentrok");
    EXPECT_TRUE(box->errorIcon);
    EXPECT_EQ(GetWindow(box->hwnd, GW_OWNER), zentrok.AppWindow());
    EXPECT_TRUE(PressOk(*box));
}

// A query that shows an error box waits for it, so it is sent from another thread.
std::optional<LRESULT> QueryEndSessionThroughBox(const Program& zentrok, const std::string& text)
{
    auto answer = std::async(std::launch::async, [&] { return zentrok.Send(zentrok.MainWindow(), WM_QUERYENDSESSION, 0, 0, 20000); });
    ExpectErrorBox(zentrok, text);
    return answer.get();
}

std::string OldLog()
{
    return "LOGON  - someone - 2026/01/01 09:00:00. - PC\r\nhand-written line\r\n";
}

void WriteSettings(const TempFolder& folder, const std::string& directory)
{
    WriteBytes(folder / "Zentrok.ini", "[Place]\r\nDirectory=" + directory + "\r\n");
}
} // namespace

TEST(Failure, MissingFolderAtStartShowsTheErrorAndRunsOnWithoutIcon)
{
    TempFolder folder;
    const std::string missing = folder / "no such folder\\";
    WriteSettings(folder, missing);
    Program zentrok(folder);
    ExpectErrorBox(zentrok, With(CantCreate, missing + "Zentrok.txt"));
    EXPECT_TRUE(zentrok.Running());
    EXPECT_FALSE(IconPresent(zentrok.MainWindow()));
    EXPECT_FALSE(Exists(folder / "no such folder"));

    // At the session end the same error, and the session end is refused.
    EXPECT_EQ(QueryEndSessionThroughBox(zentrok, With(CantCreate, missing + "Zentrok.txt")), 0);
    EXPECT_TRUE(zentrok.Running());
    EXPECT_EQ(FileNames(folder.Path()).size(), 2u);  // the program and its settings, nothing else
}

TEST(Failure, LogUnwritableAtExitKeepsTheProgramAndItsIcon)
{
    TempFolder folder;
    Program zentrok(folder);
    const std::string log = folder / "Zentrok.txt";
    const std::string before = ReadBytes(log);
    SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_READONLY);
    PostMessageA(zentrok.MainWindow(), WM_CLOSE, 0, 0);
    ExpectErrorBox(zentrok, With(CantCreate, log));
    EXPECT_TRUE(zentrok.Running());
    EXPECT_TRUE(IconPresent(zentrok.MainWindow()));
    EXPECT_EQ(ReadBytes(log), before);

    // The query fails the same way and keeps the icon.
    EXPECT_EQ(QueryEndSessionThroughBox(zentrok, With(CantCreate, log)), 0);
    EXPECT_TRUE(IconPresent(zentrok.MainWindow()));

    // Once the log is writable again the user can exit.
    SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
    PostMessageA(zentrok.MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(zentrok.WaitExit(), 0u);
    EXPECT_EQ(Lines(ReadBytes(log)).size(), 2u);
}

TEST(Failure, LogsThatCantBeReplacedAreLeftByteForByte)
{
    struct Case {
        const char* what;
        DWORD access, share;  // how another program holds the log open; 0, 0 for not at all
        bool readOnly;
        const char* message;
    } cases[] = {
        {"read-only", 0, 0, true, "ファイル %s を作成できません."},
        {"held open without sharing", GENERIC_READ | GENERIC_WRITE, 0, false, "ファイル %s は開けません."},
        {"held open by a reader", GENERIC_READ, FILE_SHARE_READ, false, "ファイル %s を作成できません."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string log = folder / "Zentrok.txt";
        WriteBytes(log, OldLog());
        if (c.readOnly) SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_READONLY);
        HANDLE holder = c.access ? CreateFileA(log.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr)
                                 : INVALID_HANDLE_VALUE;
        {
            const DWORD start = GetTickCount();
            Program zentrok(folder);  // idle once the box is up
            EXPECT_LT(GetTickCount() - start, 4500u);  // no long wait: nobody holds the lock
            ExpectErrorBox(zentrok, With(c.message, log));
            EXPECT_FALSE(IconPresent(zentrok.MainWindow()));
        }
        if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
        EXPECT_EQ(ReadBytes(log), OldLog());
        EXPECT_EQ(FileNames(folder.Path()).size(), 2u);  // no temporary file left behind
    }
}

TEST(Failure, LogPathNamingAFolder)
{
    TempFolder folder;
    CreateDirectoryA((folder / "Zentrok.txt").c_str(), nullptr);
    Program zentrok(folder);
    ExpectErrorBox(zentrok, With(CantCreate, folder / "Zentrok.txt"));
    EXPECT_EQ(FileNames(folder / "Zentrok.txt").size(), 0u);
}

// Run with the file size limited (see tests/CMakeLists.txt), as on a full disk.
TEST(FullDisk, ShortWriteLeavesTheOldLogAndNoTemporaryFile)
{
    const char* limit = getenv("ZENTROK_FILE_LIMIT");
    if (!limit) GTEST_SKIP() << "only under a file size limit";
    TempFolder folder;
    const std::string log = folder / "Zentrok.txt";
    // Just under the limit: the old log fits, the new one doesn't.
    const std::size_t size = std::stoul(limit) * 1024 - 20;
    std::string old;
    while (old.size() + 4000 < size) old += std::string(3998, 'x') + "\r\n";  // well under 1000 lines
    old += std::string(size - old.size() - 2, 'y') + "\r\n";
    WriteBytes(log, old);
    Program zentrok(folder);
    ExpectErrorBox(zentrok, "ストリームへの書き込みエラー.");
    EXPECT_TRUE(ReadBytes(log) == old);
    EXPECT_EQ(FileNames(folder.Path()).size(), 2u);
}
