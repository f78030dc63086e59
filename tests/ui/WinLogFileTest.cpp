// The log's update through the system's real file calls: long paths, and files
// beside the log that the program did not make.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "Error.h"
#include "TestFiles.h"
#include "WinLogFile.h"

using namespace zentrok;

namespace {
// A folder of its own whose log path is exactly length bytes long.
class LogFolder {
public:
    explicit LogFolder(std::size_t length)
    {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        folder_ = std::string(base) + "zentrok-log-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        made_.push_back(folder_);
        // Components of up to 100 bytes, so that no single name is too long.
        while (folder_.size() + 1 + Name.size() < length) {
            const std::size_t room = length - folder_.size() - 1 - Name.size() - 1;
            folder_ += "\\" + std::string(std::min<std::size_t>(room, 100), 'd');
            CreateDirectoryA(folder_.c_str(), nullptr);
            made_.push_back(folder_);
        }
        log = folder_ + "\\" + Name;
    }
    ~LogFolder()
    {
        for (const std::string& name : Names()) DeleteFileA((folder_ + "\\" + name).c_str());
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) RemoveDirectoryA(it->c_str());
    }
    // The files in the folder, sorted.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        const FindHandle find(FindFirstFileA((folder_ + "\\*").c_str(), &found));
        if (!find) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        } while (FindNextFileA(find.Get(), &found));
        std::sort(names.begin(), names.end());
        return names;
    }
    void Write(const std::string& name, const std::string& content, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const
    {
        ui::WriteWhole(folder_ + "\\" + name, content, attributes);
    }
    std::string Read(const std::string& name) const { return ui::ReadHead(folder_ + "\\" + name).value_or("(none)"); }

    inline static const std::string Name = "Zentrok.txt";
    std::string log;

private:
    std::string folder_;
    std::vector<std::string> made_;
};

void Add(const std::string& log, const std::string& line)
{
    WinLogFile files;
    AddLogLine(files, log, line, 1000);
}
} // namespace

// A log near MAX_PATH has helper files beyond it; the update works as for a short one.
TEST(WinLogFile, LogPathsUpToTheLimitAreWritten)
{
    for (std::size_t length : {200u, 250u, 255u, 259u}) {
        LogFolder folder(length);
        ASSERT_EQ(folder.log.size(), length);
        ASSERT_NO_THROW(Add(folder.log, "first")) << length;
        ASSERT_NO_THROW(Add(folder.log, "second")) << length;
        EXPECT_EQ(folder.Read(LogFolder::Name), "second\r\nfirst\r\n") << length;
        EXPECT_EQ(folder.Names(), std::vector<std::string>{LogFolder::Name}) << length;
        EXPECT_EQ(GetFileAttributesA(folder.log.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
    }
}

TEST(WinLogFile, FilesItDidNotMakeAreKept)
{
    LogFolder folder(100);
    const std::string pid = std::to_string(GetCurrentProcessId());
    folder.Write(LogFolder::Name, "old\r\n");
    folder.Write(LogFolder::Name + ".lock", "the user's");
    folder.Write(LogFolder::Name + "." + pid + ".tmp", "the user's too");
    folder.Write(LogFolder::Name + "." + pid + ".bak", "and this");
    ASSERT_NO_THROW(Add(folder.log, "new"));
    EXPECT_EQ(folder.Read(LogFolder::Name), "new\r\nold\r\n");
    EXPECT_EQ(folder.Read(LogFolder::Name + ".lock"), "the user's");
    EXPECT_EQ(folder.Read(LogFolder::Name + "." + pid + ".tmp"), "the user's too");
    EXPECT_EQ(folder.Read(LogFolder::Name + "." + pid + ".bak"), "and this");
    EXPECT_EQ(folder.Names().size(), 4u);

    // A writer that held such a lock file keeps the others out all the same.
    WinLogFile holder;
    const auto held = holder.LockLog(folder.log);
    ASSERT_TRUE(held);
    const DWORD start = GetTickCount();
    EXPECT_THROW(Add(folder.log, "blocked"), ZentrokError);
    EXPECT_GE(GetTickCount() - start, DiskLogFile::LockWait - 100);
}

TEST(WinLogFile, ADeadWritersTemporaryFileIsRemoved)
{
    LogFolder folder(100);
    folder.Write(LogFolder::Name, "old\r\n");
    folder.Write(LogFolder::Name + ".4000001.tmp", "half", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_NO_THROW(Add(folder.log, "new"));
    EXPECT_EQ(folder.Read(LogFolder::Name), "new\r\nold\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{LogFolder::Name});
}
