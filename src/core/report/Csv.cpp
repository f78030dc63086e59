#include "Csv.h"

#include <algorithm>

namespace zentrok::report {

namespace {
// Appends one field (see CsvField) to out.
void AppendField(std::string& out, std::string_view text, bool fromLog)
{
    // Plain loops: the C library under Wine searches one byte at a time behind a call for each character looked for.
    const char c0 = text.empty() ? '\0' : text[0];
    const bool tick = fromLog && (c0 == '=' || c0 == '+' || c0 == '-' || c0 == '@');
    if (std::none_of(text.begin(), text.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; })) {
        if (tick) out += '\'';
        out += text;
        return;
    }
    out += tick ? "\"'" : "\"";
    for (char c : text) {
        out += c;
        if (c == '"') out += '"';
    }
    out += '"';
}

// The rows go into one string, field by field, figures written in place: a million records
// make tens of thousands of rows.
class Rows {
public:
    Rows& Field(std::string_view text, bool fromLog = false)
    {
        AppendField(Next(), text, fromLog);
        return *this;
    }
    // h:mm of a length, as HoursText.
    Rows& Hours(Seconds length)
    {
        if (length < 0) length = 0;
        AppendNumber(Next(), length / 3600, 1);
        out_ += ':';
        AppendNumber(out_, length / 60 % 60, 2);
        return *this;
    }
    // A clock time counted from the midnight of day.
    Rows& Clock(Seconds t, std::int64_t day) { return Hours(t - day * SecondsPerDay); }
    // yyyy/mm/dd, as DateText.
    Rows& Date(std::int64_t day)
    {
        const report::Date d = DateOf(day);
        AppendNumber(Next(), d.year, 4);
        out_ += '/';
        AppendNumber(out_, d.month, 2);
        out_ += '/';
        AppendNumber(out_, d.day, 2);
        return *this;
    }
    Rows& Count(std::size_t n)
    {
        AppendNumber(Next(), static_cast<long long>(n), 1);
        return *this;
    }
    void End()
    {
        out_ += "\r\n";
        first_ = true;
    }
    std::string Take() { return std::move(out_); }

private:
    std::string& Next()
    {
        if (!first_) out_ += ',';
        first_ = false;
        return out_;
    }
    std::string out_;
    bool first_ = true;
};

void Header(Rows& rows, std::initializer_list<const char*> names)
{
    for (const char* name : names) rows.Field(name);
    rows.End();
}

const char* ReasonText(Reason r)
{
    switch (r) {
    case Reason::Logoff: return u8"ログオフ";
    case Reason::Shutdown: return u8"シャットダウン";
    case Reason::None: break;
    }
    return "";
}
} // namespace

std::string CsvField(std::string_view text, bool fromLog)
{
    std::string field;
    AppendField(field, text, fromLog);
    return field;
}

std::string DayCsv(const Report& r)
{
    Rows rows;
    Header(rows, {u8"日付", u8"曜日", u8"ユーザー", u8"開始", u8"終了", u8"在席", u8"離席", u8"実働", u8"セッション数",
                  u8"コンピューター", u8"備考"});
    std::string computers;
    for (const DayRow& d : r.days) {
        computers.clear();
        for (std::size_t k = d.computersBegin; k < d.computersEnd; ++k)
            (computers.empty() ? computers : computers += u8"、") += r.names.Shown(r.computers[k]);
        rows.Date(d.day).Field(WeekdayText(d.day)).Field(r.names.Shown(d.person), true).Clock(d.start, d.day);
        rows.Clock(d.end, d.day).Hours(d.present).Hours(d.present - d.work).Hours(d.work).Count(d.sessions);
        rows.Field(computers, true).Field(NotesText(d.flags)).End();
    }
    return rows.Take();
}

std::string PeriodCsv(const Report& r)
{
    Rows rows;
    Header(rows, {u8"日付", u8"ユーザー", u8"コンピューター", u8"開始", u8"終了", u8"離席", u8"実働", u8"終了理由", u8"備考"});
    for (const Period& p : r.periods) {
        const std::uint8_t flags = p.flags | (p.startEstimated || p.endEstimated ? Estimated : 0);
        rows.Date(p.day).Field(r.names.Shown(p.person), true).Field(r.names.Shown(p.computer), true);
        rows.Clock(p.span.start, p.day).Clock(p.span.end, p.day).Hours(p.away).Hours(p.span.Length() - p.away);
        rows.Field(ReasonText(p.reason)).Field(NotesText(flags)).End();
    }
    return rows.Take();
}

} // namespace zentrok::report
