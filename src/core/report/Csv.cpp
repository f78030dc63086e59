#include "Csv.h"

#include <algorithm>

#include "TextOut.h"

namespace zentrok::report {

namespace {
bool StartsFormula(char c) { return c == '=' || c == '+' || c == '-' || c == '@'; }

// Which names begin, as they are written, with a character that starts a formula in a
// spreadsheet: all converted together once, each looked at by its first byte.
std::vector<bool> FormulaNames(const Names& names, Codec* cp932)
{
    std::string all;
    for (NameId id = 1; id < names.Count(); ++id) (all += names.Shown(id)) += '\n';
    if (cp932) all = cp932->Utf8ToCp932(all);
    std::vector<bool> formula(names.Count());
    std::size_t at = 0;
    for (NameId id = 1; id < names.Count() && at < all.size(); ++id) {
        formula[id] = StartsFormula(all[at]);
        at = all.find('\n', at);
        if (at == std::string::npos) break;
        ++at;
    }
    return formula;
}

// Appends one field: quoted when it holds a comma, a quote or a line end, quotes doubled; a
// leading ' when tick, so that a spreadsheet never runs it as a formula.
void AppendField(TextOut& out, std::string_view text, bool tick)
{
    // Plain loops: the C library under Wine searches one byte at a time behind a call for each character looked for.
    if (std::none_of(text.begin(), text.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; })) {
        if (tick) out.Put('\'');
        out.Put(text);
        return;
    }
    out.Put(tick ? "\"'" : "\"");
    for (char c : text) {
        out.Put(c);
        if (c == '"') out.Put('"');
    }
    out.Put('"');
}

// The rows go into one string, field by field, figures written in place: a million records
// make tens of thousands of rows.
class Rows {
public:
    Rows& Field(std::string_view text, bool tick = false)
    {
        AppendField(Next(), text, tick);
        return *this;
    }
    // h:mm of a length, as HoursText.
    Rows& Hours(Seconds length)
    {
        if (length < 0) length = 0;
        Next().Number(length / 3600, 1);
        text_.Put(':');
        text_.Number(length / 60 % 60, 2);
        return *this;
    }
    // A clock time counted from the midnight of day.
    Rows& Clock(Seconds t, std::int64_t day) { return Hours(t - day * SecondsPerDay); }
    // yyyy/mm/dd, as DateText.
    Rows& Date(std::int64_t day)
    {
        const report::Date d = DateOf(day);
        Next().Number(d.year, 4);
        text_.Put('/');
        text_.Number(d.month, 2);
        text_.Put('/');
        text_.Number(d.day, 2);
        return *this;
    }
    Rows& Count(std::size_t n)
    {
        Next().Number(static_cast<long long>(n), 1);
        return *this;
    }
    void End()
    {
        text_.Put("\r\n");
        first_ = true;
    }
    std::string Take()
    {
        text_.Flush();
        return std::move(out_);
    }

private:
    TextOut& Next()
    {
        if (!first_) text_.Put(',');
        first_ = false;
        return text_;
    }
    std::string out_;
    StringSink sink_{out_};
    TextOut text_{sink_};
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

std::string DayCsv(const Report& r, Codec* cp932)
{
    const std::vector<bool> formula = FormulaNames(r.names, cp932);
    Rows rows;
    Header(rows, {u8"日付", u8"曜日", u8"ユーザー", u8"開始", u8"終了", u8"在席", u8"離席", u8"実働", u8"セッション数",
                  u8"コンピューター", u8"備考"});
    std::string computers;
    for (const DayRow& d : r.days) {
        computers.clear();
        for (std::size_t k = d.computersBegin; k < d.computersEnd; ++k)
            (computers.empty() ? computers : computers += u8"、") += r.names.Shown(r.computers[k]);
        const bool computersTick = d.computersEnd > d.computersBegin && formula[r.computers[d.computersBegin]];
        rows.Date(d.day).Field(WeekdayText(d.day)).Field(r.names.Shown(d.person), formula[d.person]).Clock(d.start, d.day);
        rows.Clock(d.end, d.day).Hours(d.present).Hours(d.present - d.work).Hours(d.work).Count(d.sessions);
        rows.Field(computers, computersTick).Field(NotesText(d.flags)).End();
    }
    return rows.Take();
}

std::string PeriodCsv(const Report& r, Codec* cp932)
{
    const std::vector<bool> formula = FormulaNames(r.names, cp932);
    Rows rows;
    Header(rows, {u8"日付", u8"ユーザー", u8"コンピューター", u8"開始", u8"終了", u8"離席", u8"実働", u8"終了理由", u8"備考"});
    for (const Period& p : r.periods) {
        const std::uint8_t flags = p.flags | (p.startEstimated || p.endEstimated ? Estimated : 0);
        rows.Date(p.day).Field(r.names.Shown(p.person), formula[p.person]);
        rows.Field(r.names.Shown(p.computer), formula[p.computer]);
        rows.Clock(p.span.start, p.day).Clock(p.span.end, p.day).Hours(p.away).Hours(p.span.Length() - p.away);
        rows.Field(ReasonText(p.reason)).Field(NotesText(flags)).End();
    }
    return rows.Take();
}

std::string CsvBytes(const Report& r, const Options& options, Codec& codec)
{
    const auto csv = options.detail ? PeriodCsv : DayCsv;
    if (options.utf8) return "\xEF\xBB\xBF" + csv(r, nullptr);
    return codec.Utf8ToCp932(csv(r, &codec));
}

} // namespace zentrok::report
