#include <gtest/gtest.h>

#include "Error.h"
#include "Fakes.h"

using namespace zentrok;
using Kind = LogFileAccess::Kind;
using Result = LogFileAccess::WriteResult;

namespace {
const std::string path = "C:\\Logs\\Zentrok.txt";

std::string MessageOf(test::FakeFiles& files)
{
    try {
        AddLogLine(files, path, "new", 1000);
    } catch (const ZentrokError& e) {
        return e.what();
    }
    return "(no error)";
}
} // namespace

TEST(AddLogLine, CreatesOrUpdatesTheFile)
{
    test::FakeFiles files;
    AddLogLine(files, path, "first", 10);
    EXPECT_EQ(files.files[path].second, "first\r\n");
    AddLogLine(files, path, "second", 10);
    EXPECT_EQ(files.files[path].second, "second\r\nfirst\r\n");
    files.files[path].second = "";
    AddLogLine(files, path, "third", 10);
    EXPECT_EQ(files.files[path].second, "third\r\n");
}

TEST(AddLogLine, ReportsEachFailureAndLeavesTheFileAlone)
{
    const std::string cant = "ファイル C:\\Logs\\Zentrok.txt を作成できません";
    test::FakeFiles files;
    files.files[path] = {Kind::Folder, ""};
    EXPECT_EQ(MessageOf(files), cant);

    files.files[path] = {Kind::ReadOnlyFile, "old\r\n"};
    EXPECT_EQ(MessageOf(files), cant);

    files.files[path] = {Kind::File, "old\r\n"};
    files.readFails = true;
    EXPECT_EQ(MessageOf(files), "ファイル C:\\Logs\\Zentrok.txt は開けません");

    files.readFails = false;
    files.writeResult = Result::CantCreate;
    EXPECT_EQ(MessageOf(files), cant);
    files.writeResult = Result::ShortWrite;
    EXPECT_EQ(MessageOf(files), "ストリームへの書き込みエラー");
    EXPECT_EQ(files.files[path].second, "old\r\n");

    // Another writer kept the log too long.
    files.writeResult = Result::Written;
    files.lockBusy = true;
    EXPECT_EQ(MessageOf(files), cant);
    EXPECT_EQ(files.files[path].second, "old\r\n");
    EXPECT_EQ(files.locksHeld, 0);

    // A tab in a hand-edited folder: refused before a line could be kept under it.
    EXPECT_THROW(RefuseLogPath("C:\\Lo\tgs\\Zentrok.txt"), ZentrokError);
    EXPECT_NO_THROW(RefuseLogPath(path));
}
