// The report's rules as tables: small logs in, the CSV rows they must give out.
#include <gtest/gtest.h>

#include "Csv.h"
#include "Html.h"
#include "Report.h"
#include "ReportError.h"
#include "StreamedText.h"
#include "TextCuts.h"
#include "TextOut.h"

using namespace zentrok::report;

namespace {
using Log = std::vector<std::string>;  // UTF-8 lines of one file

Seconds At(const char* text) { return *ParseDateTime(text); }

// apart: each file read into data of its own, appended in turn, as the program's readers do.
Report Make(const std::vector<Log>& files, const Options& options, const char* now, bool apart = false)
{
    LogData data;
    for (const Log& file : files) {
        std::string text;
        for (const std::string& line : file) text += line + "\r\n";
        LogData own;
        AddLogText(text, KnownSeparators({"/"}), apart ? own : data);
        if (apart) AppendLogData(data, own);
    }
    return MakeReport(std::move(data), options, At(now));
}

// The system's conversion as it was with best fit, for the formula guard: the text as it is, but a
// soft hyphen becomes '-'.
class BestFitCodec : public Codec {
public:
    std::string Cp932ToUtf8(std::string_view text) override { return std::string(text); }
    std::string Utf8ToCp932(std::string_view text) override
    {
        std::string out(text);
        for (std::size_t at; (at = out.find("\xC2\xAD")) != std::string::npos;) out.replace(at, 2, "-");
        return out;
    }
};

std::vector<std::string> Rows(const std::string& csv)
{
    std::vector<std::string> rows;
    for (std::size_t pos = csv.find("\r\n") + 2; pos < csv.size(); pos = csv.find("\r\n", pos) + 2)
        rows.push_back(csv.substr(pos, csv.find("\r\n", pos) - pos));
    return rows;
}

struct DayCase {
    const char* name;
    std::vector<Log> files;
    std::vector<std::string> rows;  // day rows without the header
    const char* now = "2026/12/20 12:00:00";
    Options options = {};
};

Options Gap(double hours)
{
    Options o;
    o.gap = static_cast<Seconds>(hours * 3600);
    return o;
}

const DayCase DayCases[] = {
    {"time away inside a day",
     {{u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1", u8"LOCK   - u1 - 2026/12/07 12:00:00. - PC1",
       u8"UNLOCK - u1 - 2026/12/07 13:00:00. - PC1", u8"LOGOFF - u1 - 2026/12/07 18:30:59. - PC1 - ログオフ"}},
     {u8"2026/12/07,月,u1,9:00,18:30,9:30,1:00,8:30,1,PC1,"}},
    {"newest first, read bottom up",
     {{u8"LOGOFF - u1 - 2026/12/07 18:30:00. - PC1", u8"LOGOFF - u1 - 2026/12/07 17:00:00. - PC1",
       u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1"}},
     {u8"2026/12/07,月,u1,9:00,18:30,9:30,0:00,9:30,1,PC1,"}},
    {"a shift past midnight belongs to its first day",
     {{u8"LOGON  - u1 - 2026/12/07 22:00:00. - PC1", u8"LOGOFF - u1 - 2026/12/08 02:10:00. - PC1"}},
     {u8"2026/12/07,月,u1,22:00,26:10,4:10,0:00,4:10,1,PC1,"}},
    {"a laptop asleep overnight: two days of one session",
     {{u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1", u8"SLEEP  - u1 - 2026/12/07 18:00:00. - PC1",
       u8"RESUME - u1 - 2026/12/08 08:30:00. - PC1", u8"LOCK   - u1 - 2026/12/08 12:00:00. - PC1",
       u8"LOCK   - u1 - 2026/12/08 12:10:00. - PC1", u8"SLEEP  - u1 - 2026/12/08 12:20:00. - PC1",
       u8"UNLOCK - u1 - 2026/12/08 12:45:00. - PC1", u8"RESUME - u1 - 2026/12/08 12:30:00. - PC1",
       u8"LOGOFF - u1 - 2026/12/08 17:00:00. - PC1"}},
     {u8"2026/12/07,月,u1,9:00,18:00,9:00,0:00,9:00,1,PC1,", u8"2026/12/08,火,u1,8:30,17:00,8:30,0:45,7:45,1,PC1,"}},
    {"a shorter /GAP cuts at a lunch break",
     {{u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1", u8"LOCK   - u1 - 2026/12/07 12:00:00. - PC1",
       u8"UNLOCK - u1 - 2026/12/07 13:00:00. - PC1", u8"LOGOFF - u1 - 2026/12/07 18:00:00. - PC1"}},
     {u8"2026/12/07,月,u1,9:00,18:00,8:00,0:00,8:00,1,PC1,"},
     "2026/12/20 12:00:00",
     Gap(0.5)},
    {"a cancelled shutdown's second logoff moves the end",
     {{u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1", u8"LOGOFF - u1 - 2026/12/07 17:00:00. - PC1 - シャットダウン",
       u8"LOCK   - u1 - 2026/12/07 17:10:00. - PC1", u8"UNLOCK - u1 - 2026/12/07 17:20:00. - PC1",
       u8"LOGOFF - u1 - 2026/12/07 17:45:00. - PC1 - シャットダウン"}},
     {u8"2026/12/07,月,u1,9:00,17:45,8:45,0:10,8:35,1,PC1,"}},
    {"missing logoff: estimated from the last record, or a point",
     {{u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1", u8"LOCK   - u1 - 2026/12/07 12:00:00. - PC1",
       u8"LOGON  - u1 - 2026/12/08 09:00:00. - PC1", u8"LOGON  - u1 - 2026/12/09 09:00:00. - PC1",
       u8"LOGOFF - u1 - 2026/12/09 10:00:00. - PC1"}},
     {u8"2026/12/07,月,u1,9:00,12:00,3:00,0:00,3:00,1,PC1,ログオフ記録なし、推定",
      u8"2026/12/08,火,u1,9:00,9:00,0:00,0:00,0:00,1,PC1,ログオフ記録なし",
      u8"2026/12/09,水,u1,9:00,10:00,1:00,0:00,1:00,1,PC1,"}},
    {"logoff without logon: from the first record, or a point",
     {{u8"UNLOCK - u1 - 2026/12/07 08:00:00. - PC1", u8"LOGOFF - u1 - 2026/12/07 17:00:00. - PC1"},
      {u8"LOGOFF - u2 - 2026/12/07 17:00:00. - PC2"},
      {u8"LOCK   - u3 - 2026/12/07 08:00:00. - PC3"}},
     {u8"2026/12/07,月,u1,8:00,17:00,9:00,0:00,9:00,1,PC1,ログオン記録なし、推定",
      u8"2026/12/07,月,u2,17:00,17:00,0:00,0:00,0:00,1,PC2,ログオン記録なし"}},
    {"two PCs at once count once; away on one while working on the other is work",
     {{u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1", u8"LOCK   - u1 - 2026/12/07 12:00:00. - PC1",
       u8"UNLOCK - u1 - 2026/12/07 13:00:00. - PC1", u8"LOGOFF - u1 - 2026/12/07 17:00:00. - PC1"},
      {u8"LOGON  - U1 - 2026/12/07 12:30:00. - PC2", u8"LOGOFF - U1 - 2026/12/07 18:00:00. - PC2"}},
     {u8"2026/12/07,月,u1,9:00,18:00,9:00,0:30,8:30,2,PC1、PC2,"}},
    {"time away left open ends with the session; one still running ends now",
     {{u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1", u8"LOCK   - u1 - 2026/12/07 17:00:00. - PC1",
       u8"LOGOFF - u1 - 2026/12/07 18:00:00. - PC1", u8"LOGON  - u1 - 2026/12/20 09:00:00. - PC1"}},
     {u8"2026/12/07,月,u1,9:00,18:00,9:00,1:00,8:00,1,PC1,", u8"2026/12/20,日,u1,9:00,12:00,3:00,0:00,3:00,1,PC1,記録中"}},
    {"a copy of a log counts once; names by case as first seen",
     {{u8"LOGON  - Sato - 2026/12/07 09:00:00. - pc1", u8"LOGOFF - Sato - 2026/12/07 18:00:00. - pc1"},
      {u8"LOGON  - SATO - 2026/12/07 09:00:00. - PC1", u8"LOGOFF - sato - 2026/12/07 18:00:00. - PC1 - ログオフ"}},
     {u8"2026/12/07,月,Sato,9:00,18:00,9:00,0:00,9:00,1,pc1,"}},
    {"separators mixed; no user field: the computer is the person; foreign lines passed over",
     {{u8"LOGON \tu1\t2026/12/07 09:00:00.\tPC1", u8"LOGOFF,u1,2026/12/07 10:00:00.,PC1", u8"hello",
       u8"LOGON /2026/12/07 11:00:00./PC9", u8"LOGOFF/2026/12/07 11:30:00./PC9/ログオフ",
       u8"LOGON  - u1 - 2026/13/07 09:00:00. - PC1", u8"LOGON  - u1 - 2026/12/07 09:00:00 - PC1"}},
     {u8"2026/12/07,月,PC9,11:00,11:30,0:30,0:00,0:30,1,PC9,", u8"2026/12/07,月,u1,9:00,10:00,1:00,0:00,1:00,1,PC1,"}},
    {"within one second a logoff comes before a logon, whatever the order written",
     {{u8"LOGON  - u1 - 2026/12/07 12:00:00. - PC1", u8"LOGOFF - u1 - 2026/12/07 12:00:00. - PC1",
       u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1", u8"LOGOFF - u1 - 2026/12/07 13:00:00. - PC1"}},
     {u8"2026/12/07,月,u1,9:00,13:00,4:00,0:00,4:00,2,PC1,"}},
    {"a session left open from an earlier day is a missing logoff, not running",
     {{u8"LOGON  - u1 - 2026/12/19 09:00:00. - PC1", u8"UNLOCK - u1 - 2026/12/19 11:00:00. - PC1"}},
     {u8"2026/12/19,土,u1,9:00,11:00,2:00,0:00,2:00,1,PC1,ログオフ記録なし、推定"}},
    {"a locked PC shut down at night starts no work at the shutdown; an unlock left last still shows",
     {{u8"LOGON  - u1 - 2026/12/04 09:03:00. - PC1", u8"LOCK   - u1 - 2026/12/04 18:10:00. - PC1",
       u8"LOGOFF - u1 - 2026/12/05 03:39:00. - PC1 - シャットダウン", u8"LOGON  - u1 - 2026/12/05 10:00:00. - PC1",
       u8"LOGOFF - u1 - 2026/12/05 15:00:00. - PC1"},
      {u8"LOGON  - u2 - 2026/12/04 09:00:00. - PC2", u8"LOCK   - u2 - 2026/12/04 12:00:00. - PC2",
       u8"UNLOCK - u2 - 2026/12/04 16:00:00. - PC2"}},
     {u8"2026/12/04,金,u1,9:03,18:10,9:07,0:00,9:07,1,PC1,",
      u8"2026/12/04,金,u2,9:00,16:00,3:00,0:00,3:00,1,PC2,ログオフ記録なし、推定",
      u8"2026/12/05,土,u1,10:00,15:00,5:00,0:00,5:00,1,PC1,"}},
    {"records that open with a long time away start no work there",
     {{u8"LOCK   - u1 - 2026/12/07 20:00:00. - PC1", u8"UNLOCK - u1 - 2026/12/08 08:00:00. - PC1",
       u8"LOGOFF - u1 - 2026/12/08 17:00:00. - PC1"},
      {u8"LOGON  - u2 - 2026/12/07 20:00:00. - PC2", u8"LOCK   - u2 - 2026/12/07 20:00:00. - PC2",
       u8"LOGOFF - u2 - 2026/12/08 03:00:00. - PC2"}},
     {u8"2026/12/07,月,u2,20:00,20:00,0:00,0:00,0:00,1,PC2,",
      u8"2026/12/08,火,u1,8:00,17:00,9:00,0:00,9:00,1,PC1,ログオン記録なし"}},
    {"a crafted name is never a formula and stays one field",
     {{u8"LOGON  - =cmd|' /C calc'!A0 - 2026/12/07 09:00:00. - @PC,\"1\"",
       u8"LOGOFF - =cmd|' /C calc'!A0 - 2026/12/07 10:00:00. - @PC,\"1\""}},
     {u8"2026/12/07,月,'=cmd|' /C calc'!A0,9:00,10:00,1:00,0:00,1:00,1,\"'@PC,\"\"1\"\"\","}},
    {"a name that the conversion turns into a formula is guarded as written",
     {{u8"LOGON  - \u00AD1+cmd|' /C calc'!A0 - 2026/12/07 09:00:00. - \u00AD@PC",
       u8"LOGOFF - \u00AD1+cmd|' /C calc'!A0 - 2026/12/07 10:00:00. - \u00AD@PC"}},
     {u8"2026/12/07,月,'-1+cmd|' /C calc'!A0,9:00,10:00,1:00,0:00,1:00,1,'-@PC,"}},
};

class DayRows : public testing::TestWithParam<DayCase> {};

TEST_P(DayRows, FromSmallLogs)
{
    const DayCase& c = GetParam();
    BestFitCodec codec;
    EXPECT_EQ(Rows(CsvBytes(Make(c.files, c.options, c.now), c.options, codec)), c.rows) << c.name;
    EXPECT_EQ(Rows(CsvBytes(Make(c.files, c.options, c.now, true), c.options, codec)), c.rows)
        << c.name << ", files read apart";
}
INSTANTIATE_TEST_SUITE_P(Report, DayRows, testing::ValuesIn(DayCases));

TEST(Report, LineFields)
{
    const std::vector<std::string> seps = KnownSeparators({"", u8"／"});
    const struct {
        const char* line;
        bool record;
        const char* user;
        const char* computer;
        Reason reason;
    } cases[] = {
        {u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1", true, "u1", "PC1", Reason::None},
        {u8"LOGOFF - a - b - 2026/12/07 09:00:00. - PC - 1 - シャットダウン", true, "a - b", "PC - 1", Reason::Shutdown},
        {u8"LOGOFF - u1 - 2026/12/07 09:00:00. - ログオフ", true, "u1", "", Reason::Logoff},
        {u8"LOGOFF／2026/12/07 09:00:00.／PC1／ログオフ", true, "", "PC1", Reason::Logoff},
        {u8"LOGON user012026/12/07 09:00:00.PC1", true, "user01", "PC1", Reason::None},
        {u8"RDISC  - u1 - 2026/12/07 09:00:00.", true, "u1", "", Reason::None},
        {u8"LOGON  - u1 - 2026/12/07 09:00:00 - PC1", false, "", "", Reason::None},
        {u8"LOGON  - u1 - 2026/02/29 09:00:00. - PC1", false, "", "", Reason::None},
        {u8"LOGON  - u1 - 2026/12/07 24:00:00. - PC1", false, "", "", Reason::None},
        {u8"LOGIN  - u1 - 2026/12/07 09:00:00. - PC1", false, "", "", Reason::None},
        {u8"logon  - u1 - 2026/12/07 09:00:00. - PC1", false, "", "", Reason::None},
        {u8"LOGON  - u1 - 2026/12/07", false, "", "", Reason::None},
    };
    for (const auto& c : cases) {
        const std::optional<ParsedLine> p = ParseLine(c.line, seps);
        ASSERT_EQ(p.has_value(), c.record) << c.line;
        if (!p) continue;
        EXPECT_EQ(p->user, c.user) << c.line;
        EXPECT_EQ(p->computer, c.computer) << c.line;
        EXPECT_EQ(p->reason, c.reason) << c.line;
        EXPECT_EQ(DateText(DayOf(p->time)), "2026/12/07");
    }
}

TEST(Report, LineEnds)
{
    const std::string on = u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1", off = u8"LOGOFF - u1 - 2026/12/07 10:00:00. - PC1";
    const struct {
        std::string text;
        std::size_t lines, records;
    } cases[] = {{on + "\r\n" + off + "\r\n", 2, 2}, {on + "\n" + off, 2, 2},         {on + "\r" + off + "\r", 2, 2},
                 {on + "\r\n\r\n\n" + off + "x", 2, 2}, {"\r\n\r\n", 0, 0},             {off + "\n\r" + on, 2, 2},
                 {std::string(13, 'x') + "\r" + off, 2, 1}};
    for (const auto& c : cases) {
        LogData data;
        AddLogText(c.text, KnownSeparators({}), data);
        EXPECT_EQ(data.lines, c.lines) << c.text;
        EXPECT_EQ(data.records.size(), c.records) << c.text;
    }
}

TEST(Report, CalendarAndClockTexts)
{
    for (std::int64_t day = DayNumber(1601, 1, 1); day < DayNumber(2400, 1, 1); day += 97) {
        const Date d = DateOf(day);
        ASSERT_EQ(DayNumber(d.year, d.month, d.day), day);
    }
    const struct {
        const char* text;
        const char* date;  // nullptr: no date
    } dates[] = {{"2024/2/29", "2024/02/29"}, {"2000/02/29", "2000/02/29"}, {"2100/02/29", nullptr},
                 {"2026/04/31", nullptr},     {"2026/1/1/", nullptr},       {"1600/12/31", nullptr},
                 {"20261/01/01", nullptr},    {"2026//01", nullptr}};
    for (const auto& c : dates) {
        const std::optional<std::int64_t> day = ParseDate(c.text);
        EXPECT_EQ(day ? DateText(*day) : "", c.date ? c.date : "") << c.text;
    }
    EXPECT_EQ(WeekdayText(*ParseDate("2026/12/06")), u8"日");
    EXPECT_TRUE(IsWeekend(*ParseDate("2026/12/05")) && !IsWeekend(*ParseDate("2026/12/07")));
    EXPECT_EQ(HoursText(26 * 3600 + 10 * 60 + 59), "26:10");
    EXPECT_EQ(HoursText(-5), "0:00");
}

TEST(Report, FiltersAfterBuildingSessionsAndCountsForeignLines)
{
    const std::vector<Log> files = {{u8"LOGON  - u1 - 2026/12/07 22:00:00. - PC1", u8"LOGOFF - u1 - 2026/12/08 02:00:00. - PC1",
                                     u8"LOGON  - u2 - 2026/12/08 09:00:00. - PC2", u8"LOGOFF - u2 - 2026/12/08 10:00:00. - PC2",
                                     u8"garbage", u8"LOGON  - u2"}};
    Options o;
    o.from = ParseDate("2026/12/08");
    EXPECT_EQ(Rows(DayCsv(Make(files, o, "2026/12/20 12:00:00"))).size(), 1u);
    o.from = ParseDate("2026/12/07");
    o.to = o.from;
    const Report r = Make(files, o, "2026/12/20 12:00:00");
    EXPECT_EQ(Rows(DayCsv(r)), std::vector<std::string>{u8"2026/12/07,月,u1,22:00,26:00,4:00,0:00,4:00,1,PC1,"});
    EXPECT_EQ(r.skipped, 2u);
    EXPECT_EQ(r.lines, 6u);
    o = {};
    o.user = "U2";
    EXPECT_EQ(Rows(PeriodCsv(Make(files, o, "2026/12/20 12:00:00"))),
              std::vector<std::string>{u8"2026/12/08,u2,PC2,9:00,10:00,0:00,1:00,,"});
    o.user = "nobody";
    EXPECT_THROW(Make(files, o, "2026/12/20 12:00:00"), ReportError);
    EXPECT_THROW(Make({{u8"garbage"}}, {}, "2026/12/20 12:00:00"), ReportError);
}

TEST(Report, DetailRowsCarryReasonAndEstimates)
{
    const std::vector<Log> files = {{u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1", u8"LOCK   - u1 - 2026/12/07 12:00:00. - PC1",
                                     u8"UNLOCK - u1 - 2026/12/07 16:00:00. - PC1", u8"RCONN  - u1 - 2026/12/07 17:00:00. - PC1",
                                     u8"LOGOFF - u1 - 2026/12/07 18:00:00. - PC1 - シャットダウン"}};
    EXPECT_EQ(Rows(PeriodCsv(Make(files, {}, "2026/12/20 12:00:00"))),
              (std::vector<std::string>{u8"2026/12/07,u1,PC1,9:00,12:00,0:00,3:00,,",
                                        u8"2026/12/07,u1,PC1,16:00,18:00,0:00,2:00,シャットダウン,"}));
    // Shut down at night while locked: the reason stays with the day's work.
    const std::vector<Log> night = {{u8"LOGON  - u1 - 2026/12/04 09:03:00. - PC1", u8"LOCK   - u1 - 2026/12/04 18:10:00. - PC1",
                                     u8"LOGOFF - u1 - 2026/12/05 03:39:00. - PC1 - シャットダウン"}};
    EXPECT_EQ(Rows(PeriodCsv(Make(night, {}, "2026/12/20 12:00:00"))),
              std::vector<std::string>{u8"2026/12/04,u1,PC1,9:03,18:10,0:00,9:07,シャットダウン,"});
}

// Byte-level stand-in for the system's conversion: the texts the tests use.
class TableCodec : public Codec {
public:
    std::string Cp932ToUtf8(std::string_view text) override { return text == "佐藤" ? u8"佐藤" : "?"; }
    std::string Utf8ToCp932(std::string_view) override { return "?"; }
};

TEST(Report, EachFileItsOwnEncoding)
{
    TableCodec codec;
    const struct {
        std::string bytes, utf8;
    } cases[] = {{"\xEF\xBB\xBF" + std::string(u8"佐藤"), u8"佐藤"}, {u8"佐藤", u8"佐藤"}, {"佐藤", u8"佐藤"},
                 {"abc", "abc"}, {"\xED\xA0\x80", "?"}, {"\xC0\xAF", "?"}, {"\xE3\x81", "?"},
                 // A byte-order mark says UTF-8: what is none there is spoiled alone.
                 {"\xEF\xBB\xBF" + std::string(u8"佐藤") + "\x80\xC0\xAF\n",
                  std::string(u8"佐藤") + "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\n"}};
    for (const auto& c : cases) EXPECT_EQ(FileTextToUtf8(c.bytes, codec), c.utf8) << c.bytes;
}

// The pieces the system converts: each at least one unit long, whatever the text holds.
TEST(Report, ConversionPiecesAlwaysGetOn)
{
    const std::string noCharacter = "a" + std::string(20, '\x80'), kana = u8"aあ";
    EXPECT_EQ(CharacterCut(noCharacter, 8), 8u);
    EXPECT_EQ(CharacterCut(kana, 2), 1u);
    EXPECT_EQ(CharacterCut(kana, 9), kana.size());
    EXPECT_EQ(LineCut(std::string_view("abc\ndefgh"), 6), 4u);
    EXPECT_EQ(LineCut(std::string_view("abcdefgh"), 6), 6u);
    EXPECT_EQ(LineCut(std::wstring_view(L"abcdefgh"), 6), 6u);
}

// The end marks of the longest days (an estimated end, a session still running) stay inside the drawing.
TEST(Report, EndMarksStayInsideTheTimeline)
{
    const std::vector<Log> files = {{u8"LOGON  - u1 - 2026/12/07 09:00:00. - PC1", u8"UNLOCK - u1 - 2026/12/07 23:59:00. - PC1"},
                                    {u8"LOGON  - u2 - 2026/12/20 09:00:00. - PC2"}};
    const std::string page = HtmlPage(Make(files, {}, "2026/12/20 23:59:00"));
    constexpr double width = 520, markWidth = 7;
    for (const std::string mark : {"<text class=\"mark\" x=\"", "<path class=\"running\" d=\"M"}) {
        int seen = 0;
        for (std::size_t at = page.find(mark); at != std::string::npos; at = page.find(mark, at + 1), ++seen)
            EXPECT_LE(std::stod(page.substr(at + mark.size())) + markWidth, width) << mark;
        EXPECT_GE(seen, 2) << mark;  // the legend's and the day's
    }
}

TEST(Report, CommandLine)
{
    const Options o = ParseOptions({"logs", "/csv", "a.csv", "/Html", "b.html", "/GAP", "1.5", "/FROM", "2026/1/2",
                                    "/TO", "2026/12/31", "/USER", "u1", "/SEP", "<TAB>", "/UTF8", "/DETAIL"});
    EXPECT_EQ(o.inputs, std::vector<std::string>{"logs"});
    EXPECT_EQ(o.gap, 5400);
    EXPECT_EQ(DateText(*o.from), "2026/01/02");
    EXPECT_TRUE(o.utf8 && o.detail && o.separator == "<TAB>");
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"/X"}, {"/CSV"}, {"/GAP", "0"}, {"/GAP", "1e3"}, {"/GAP", "200"}, {"/FROM", "2026/02/30"},
             {"/FROM", "2026/12/02", "/TO", "2026/12/01"}, {"/TO", "12/01"}}) {
        try {
            ParseOptions(wrong);
            ADD_FAILURE() << wrong[0];
        } catch (const ReportError& e) {
            EXPECT_EQ(e.Code(), WrongCommandLine);
        }
    }
}
} // namespace

// A page made while it is written: every byte once and in order however the pieces fall, the
// making stopped when the file refuses a piece, and a failure in the making told afterwards.
TEST(Report, PageMadeWhileWritten)
{
    std::string text;
    for (int i = 0; text.size() < 5'500'000; ++i) text += std::string(i % 9000, static_cast<char>('a' + i % 26));
    const auto make = [&](TextSink& out) {
        for (std::size_t at = 0, n = 1; at < text.size(); at += n, n = n * 7 % 30011 + 1)
            out.Write(std::string_view(text).substr(at, n));
    };
    struct File : zentrok::ContentSink {
        std::string bytes;
        int pieces = 0, refuseAt = -1;
        bool Put(std::string_view piece) override
        {
            if (pieces++ == refuseAt) return false;
            bytes += piece;
            return true;
        }
    };
    const StreamedText page(make);
    // Twice through a TextOut in pieces it buffers, as the page's short pieces go: more pieces
    // than may wait, so the making is still on, inside the TextOut, when the file refuses one.
    const StreamedText typed([&](TextSink& out) {
        TextOut buffered(out);
        for (int round = 0; round < 2; ++round)
            for (std::size_t at = 0, n = 1; at < text.size(); at += n, n = n * 7 % 8191 + 1)
                buffered.Put(std::string_view(text).substr(at, n));
        buffered.Flush();
    });
    const struct {
        const StreamedText& made;
        int refuseAt;
        std::string whole;
    } cases[] = {{page, -1, text}, {page, -1, text},  // a rewrite makes it anew
                 {page, 0, ""}, {page, 2, ""}, {typed, -1, text + text}, {typed, 1, ""}};
    for (const auto& c : cases) {
        File file;
        file.refuseAt = c.refuseAt;
        EXPECT_EQ(c.made.WriteTo(file), c.refuseAt < 0) << c.refuseAt;
        if (c.refuseAt < 0) EXPECT_TRUE(file.bytes == c.whole);
        EXPECT_NO_THROW(c.made.RaiseFailure());
    }
    const StreamedText failing([&](TextSink& out) {
        make(out);
        throw std::bad_alloc();
    });
    File file;
    EXPECT_FALSE(failing.WriteTo(file));
    EXPECT_THROW(failing.RaiseFailure(), std::bad_alloc);
}
