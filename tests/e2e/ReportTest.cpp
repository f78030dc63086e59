// The real ZentrokReport.exe on a folder of logs as an office has them: its CSV byte for
// byte, its exit codes and messages, the Zentrok.ini beside it; its page in headless Chromium.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "Driver.h"
#include "Handles.h"

using namespace e2e;

namespace {
const std::string Crafted = "<script>alert(1)</script>&\"'";
const std::string Formula = "=HYPERLINK(\"http://x\")";

std::string Line(const std::string& word, const std::string& user, const std::string& when, const std::string& pc,
                 const std::string& sep = " - ", const std::string& reason = "")
{
    return word + sep + user + sep + when + "." + sep + pc + (reason.empty() ? "" : sep + reason);
}

// Narrow literals are CP932, as the loggers on the PCs write; the collector's files are UTF-8 (u8).
void WriteLog(const std::string& path, std::vector<std::string> lines, bool newestFirst = false, bool bom = false,
              const std::string& end = "\r\n")
{
    if (newestFirst) std::reverse(lines.begin(), lines.end());
    std::string text = bom ? "\xEF\xBB\xBF" : "";
    for (const std::string& line : lines) text += line + end;
    WriteBytes(path, text);
}

// One file per PC (newest first), the collector's date-named files (with and without a
// byte-order mark, LF), a foreign file.
void MakeLogs(const std::string& folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    const auto sato = [](const std::string& word, const std::string& when, const std::string& reason = "") {
        return Line(word, "佐藤", "2026/11/" + when, "PC01", " - ", reason);
    };
    // A cancelled shutdown on the 5th: two logoffs, the program ran on.
    WriteLog(folder + "\\PC01.txt",
             {sato("LOGON ", "02 08:55:00"), sato("LOCK  ", "02 12:00:00"), sato("UNLOCK", "02 13:00:00"),
              sato("LOGOFF", "02 18:05:00", "ログオフ"), sato("LOGON ", "03 09:10:00"), sato("LOCK  ", "03 12:10:00"),
              sato("UNLOCK", "03 12:50:00"), sato("LOGOFF", "03 19:30:00", "ログオフ"), sato("LOGON ", "04 09:00:00"),
              sato("LOGON ", "05 08:30:00"), sato("LOGOFF", "05 17:00:00", "シャットダウン"),
              sato("LOGOFF", "05 17:40:00", "シャットダウン"),
              // Locked on Friday evening, shut down by an update at night: the work ends at the lock.
              sato("LOGON ", "06 09:03:00"), sato("LOCK  ", "06 18:10:00"),
              sato("LOGOFF", "07 03:39:00", "シャットダウン"), "手で書いたメモ"},
             true);
    // A night shift past midnight, and a laptop asleep overnight inside one session (tab-separated).
    const auto suzuki = [](const std::string& word, const std::string& when) {
        return Line(word, "鈴木", "2026/11/" + when, "PC02", "\t");
    };
    WriteLog(folder + "\\PC02.txt",
             {suzuki("LOGON ", "02 22:00:00"), suzuki("LOGOFF", "03 06:15:00"), suzuki("LOGON ", "04 09:00:00"),
              suzuki("SLEEP ", "04 18:00:00"), suzuki("RESUME", "05 08:45:00"), suzuki("LOGOFF", "05 17:15:00")},
             true);
    // The first holds a copy of PC01's first logon.
    WriteLog(folder + "\\20261102.txt",
             {Line("LOGON ", u8"佐藤", "2026/11/02 08:55:00", "pc01"), Line("LOGON ", "Tanaka", "2026/11/02 10:00:00", "PC03"),
              Line("LOGOFF", "TANAKA", "2026/11/02 15:30:00", "PC03")},
             false, false, "\n");
    WriteLog(folder + "\\20261103.txt",
             {Line("LOGON ", Crafted, "2026/11/03 09:00:00", Formula),
              Line("LOGOFF", Crafted, "2026/11/03 11:00:00", Formula)},
             false, true);
    WriteLog(folder + "\\notes.txt", {u8"会議室の予約", "LOGON  - 2026/11/99"});
}

// The page as Chromium built it, read as a browser's parser reads it: the elements from the
// first sheet on counted by tag and by tag.class (scripts anywhere), and the text.
struct Dom {
    std::map<std::string, int> counts;
    std::string text;
};

std::string Unescape(std::string text)
{
    const std::pair<const char*, const char*> entities[] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""},
                                                            {"&#39;", "'"}, {"&nbsp;", "\xC2\xA0"}, {"&amp;", "&"}};
    for (const auto& [entity, character] : entities)
        for (std::size_t at = 0; (at = text.find(entity, at)) != std::string::npos; at += strlen(character))
            text.replace(at, strlen(entity), character);
    return text;
}

Dom Parse(const std::string& html)
{
    Dom dom;
    bool sheet = false;
    for (std::size_t at = 0; at < html.size();) {
        const std::size_t open = html.find('<', at);
        dom.text += Unescape(html.substr(at, open - at));
        if (open == std::string::npos) break;
        std::size_t end = open + 1;
        bool quoted = false;  // Chromium quotes every attribute's value with "
        for (; end < html.size() && (quoted || html[end] != '>'); ++end) quoted ^= html[end] == '"';
        at = end + 1;
        if (!isalpha(static_cast<unsigned char>(html[open + 1]))) continue;  // an end tag or the doctype (no comments)
        const std::string tag = html.substr(open + 1, end - open - 1);
        std::string name = tag.substr(0, tag.find_first_of(" \t\n/"));
        for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        sheet = sheet || name == "section";
        if (!sheet && name != "script") continue;
        ++dom.counts[name];
        const std::size_t cls = tag.find(" class=\"");
        if (cls != std::string::npos) {
            const std::string classes = tag.substr(cls + 8, tag.find('"', cls + 8) - cls - 8) + " ";
            for (std::size_t from = 0, space; (space = classes.find(' ', from)) != std::string::npos; from = space + 1)
                if (space > from) ++dom.counts[name + "." + classes.substr(from, space - from)];
        }
        if (name == "script" || name == "style") {  // raw text up to its end tag
            const std::size_t close = std::min(html.find("</" + name, at), html.size());
            dom.text += html.substr(at, close - at);
            at = close;
        }
    }
    return dom;
}

class Report : public ::testing::Test {
protected:
    void SetUp() override { MakeLogs(work / "logs"); }

    Captured Run(const std::string& arguments, const std::string& exe = ReportExe(), bool outRefused = false) const
    {
        return RunCaptured("\"" + exe + "\" " + arguments, work.Path(), 60000, outRefused);
    }

    // A copy of the program with a Zentrok.ini beside it: the logger's separator and log folder, with a log in it.
    std::string ProgramWithSettings() const
    {
        const std::string program = work / "program", exe = program + "\\ZentrokReport.exe";
        CreateDirectoryA(program.c_str(), nullptr);
        CreateDirectoryA((program + "\\logs").c_str(), nullptr);
        EXPECT_TRUE(CopyFileA(ReportExe().c_str(), exe.c_str(), FALSE));
        WriteBytes(program + "\\Zentrok.ini", "[Log]\r\nSeparator=／\r\n[Place]\r\nDirectory=" + program + "\\logs\\\r\n");
        WriteLog(program + "\\logs\\PC09.txt",
                 {Line("LOGON ", "u9", "2026/11/02 09:00:00", "PC09", "／"),
                  Line("LOGOFF", "u9", "2026/11/02 10:00:00", "PC09", "／")});
        return exe;
    }

    TempFolder work;
};
} // namespace

// Files no logger writes, each alone in a folder: a name of 70,000 bytes that are no UTF-8 after a
// byte-order mark, a name that best fit would turn into a formula, a backup of a terabyte (sparse).
void MakeHostileLogs(const TempFolder& work)
{
    for (const char* folder : {"bom", "formula", "huge"}) CreateDirectoryA((work / folder).c_str(), nullptr);
    WriteLog(work / "bom\\log.txt", {Line("LOGON ", "u1", "2026/11/06 09:00:00", std::string(70000, '\x80'))}, false, true);
    const std::string hyphened = u8"\u00AD1+cmd|' /C calc'!A0";
    WriteLog(work / "formula\\log.txt", {Line("LOGON ", hyphened, "2026/11/06 09:00:00", "PC1"),
                                          Line("LOGOFF", hyphened, "2026/11/06 10:00:00", "PC1")});
    WriteLog(work / "huge\\log.txt", {Line("LOGON ", "u9", "2026/11/06 09:00:00", "PC9")});
    const zentrok::FileHandle backup(CreateFileA((work / "huge\\backup.bak").c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_NEW, 0, nullptr));
    LARGE_INTEGER terabyte;
    terabyte.QuadPart = 1LL << 40;
    ASSERT_TRUE(SetFilePointerEx(backup.Get(), terabyte, nullptr, FILE_BEGIN) && SetEndOfFile(backup.Get()));
}

TEST_F(Report, ArgumentsGiveTheirExitCodeMessageAndCsv)
{
    MakeHostileLogs(work);
    const std::string expected = ReadBytes(FromBuildPath(ZENTROK_SOURCE_DIR "/tests/report/expected.csv"));
    struct Case {
        std::string arguments;
        DWORD code;
        std::string message, made;  // in the error output; the CSV written
        bool holdNotes = false;     // another program holds the file without records open
        std::string row = "";       // the one row of the CSV made; else it is the office's expected one
        bool outRefused = false;    // the standard output takes nothing
    } cases[] = {
        {"logs /CSV out.csv", 0, "記録ではない行 3 行", "out.csv"},
        {"logs /CSV held.csv", 0, "読めないファイルを飛ばしました: logs\\notes.txt", "held.csv", true},
        {"logs\\*.txt /CSV out2.csv /SEP <TAB>", 0, "", "out2.csv"},
        {"nothing-here /CSV none.csv", 1, "nothing-here", ""},
        {"logs\\notes.txt /CSV none.csv", 1, "記録が見つかりません: logs\\notes.txt", ""},
        {"logs /CSV none.csv /FROM 2027/01/01", 1, "記録がありません", ""},
        {"logs /CSV none.csv /WRONG", 2, "/WRONG", ""},
        {"logs /GAP abc", 2, "/GAP", ""},
        {"logs", 1, "CSV を標準出力に書き込めません", "", false, "", true},
        {"bom /CSV bom.csv", 0, "", "bom.csv", false,
         "2026/11/06,金,u1,9:00,9:00,0:00,0:00,0:00,1," + std::string(70000, '?') + ",ログオフ記録なし"},
        {"formula /CSV formula.csv", 0, "", "formula.csv", false,
         "2026/11/06,金,?1+cmd|' /C calc'!A0,9:00,10:00,1:00,0:00,1:00,1,PC1,"},
        {"huge /CSV huge.csv", 0, "読めないファイルを飛ばしました: huge\\backup.bak", "huge.csv", false,
         "2026/11/06,金,u9,9:00,9:00,0:00,0:00,0:00,1,PC9,ログオフ記録なし"},
    };
    for (const Case& c : cases) {
        const std::string notes = work / "logs\\notes.txt";
        const zentrok::FileHandle held(
            c.holdNotes ? CreateFileA(notes.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr);
        const Captured run = Run(c.arguments, ReportExe(), c.outRefused);
        EXPECT_EQ(run.code, c.code) << c.arguments << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
        if (c.made.empty()) continue;
        const std::string made = ReadBytes(work / c.made);
        if (c.row.empty()) EXPECT_EQ(made, expected) << c.arguments;
        else EXPECT_EQ(Lines(made), (std::vector<std::string>{Lines(expected)[0], c.row})) << c.arguments;
    }
    EXPECT_FALSE(Exists(work / "none.csv"));
}

TEST_F(Report, SeparatorComesFromTheZentrokIniBesideTheProgram)
{
    const Captured beside = Run("program\\logs", ProgramWithSettings());
    EXPECT_EQ(beside.code, 0u) << beside.err;
    EXPECT_NE(beside.out.find("u9,9:00,10:00"), std::string::npos) << beside.out;
    EXPECT_EQ(Run("program\\logs").code, 1u);  // the built one, without it
}

TEST_F(Report, WithoutArgumentsThePageOfTheLogFolderGoesToTheTemporaryFolder)
{
    // As from Explorer; the page is "opened" by a browser that leaves no window on the test's display.
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", "Browsers", REG_SZ, "true", 5),
              ERROR_SUCCESS);
    char temp[MAX_PATH];
    const std::string page = std::string(temp, GetTempPathA(sizeof temp, temp)) + "ZentrokReport.html";
    DeleteFileA(page.c_str());
    const Captured run = Run("", ProgramWithSettings());
    EXPECT_EQ(run.code, 0u) << run.err;
    EXPECT_EQ(run.out, "書き出しました: " + page + "\r\n");
    EXPECT_NE(ReadBytes(page).find("u9"), std::string::npos);
    DeleteFileA(page.c_str());
}

TEST_F(Report, HelpNamesTheOptions)
{
    const Captured run = Run("/?");
    EXPECT_EQ(run.code, 0u);
    EXPECT_NE(run.out.find("/GAP"), std::string::npos) << run.out;
}

TEST_F(Report, PageShowsEveryDayOfEachPersonWithNamesAsText)
{
    const Captured run = Run("logs /HTML report.html");
    ASSERT_EQ(run.code, 0u) << run.err;
    const std::string unix = UnixPath(work.Path()), chromium = "chromium --headless --no-sandbox --disable-gpu "
                                                                "--hide-scrollbars --user-data-dir='" + unix + "/profile' ";
    const std::string page = "'file://" + unix + "/report.html'";
    ASSERT_EQ(RunUnix(chromium + "--dump-dom " + page + " >'" + unix + "/dom.html' 2>/dev/null", 120000), 0);
    ASSERT_EQ(RunUnix(chromium + "--window-size=1400,1000 --screenshot='" + unix + "/report.png' " + page +
                          " >/dev/null 2>&1", 120000), 0);
    Dom dom = Parse(ReadBytes(work / "dom.html"));
    // Four people in November: a sheet each with every day of the month, nine of them weekend days.
    const std::map<std::string, int> expected = {
        {"section.sheet", 4}, {"tr.day", 4 * 30}, {"tr.weekend", 4 * 9}, {"tr.none", 4 * 30 - 10}, {"rect.work", 9},
        {"rect.est", 0},      {"path.away", 2},   {"path.point", 1},     {"text.mark", 1},         {"title", 10},
        {"script", 0}};
    for (const auto& [key, count] : expected) EXPECT_EQ(dom.counts[key], count) << key;
    for (const std::string& text : {Crafted, Formula, std::string(u8"佐藤"), std::string(u8"2026年11月"),
                                    std::string(u8"記録ではない行 3"), std::string(u8"ログオフ記録なし")})
        EXPECT_NE(dom.text.find(text), std::string::npos) << "the page doesn't show " << text;
    EXPECT_GE(ReadBytes(work / "report.png").size(), 20000u);
}
