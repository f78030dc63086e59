#include "Csv.h"

namespace zentrok::report {

std::string CsvField(std::string_view text, bool fromLog)
{
    std::string field;
    if (fromLog && !text.empty() && std::string_view("=+-@").find(text[0]) != std::string_view::npos) field = "'";
    field += text;
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string quoted = "\"";
    for (char c : field) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

namespace {
class Rows {
public:
    // Each field with whether it comes from the logs.
    void Add(std::initializer_list<std::pair<std::string, bool>> fields)
    {
        bool first = true;
        for (const auto& [text, fromLog] : fields) {
            if (!first) out_ += ',';
            out_ += CsvField(text, fromLog);
            first = false;
        }
        out_ += "\r\n";
    }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

std::string Clock(Seconds t, std::int64_t day) { return HoursText(t - day * SecondsPerDay); }

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

std::string DayCsv(const Report& r)
{
    Rows rows;
    rows.Add({{u8"日付", false}, {u8"曜日", false}, {u8"ユーザー", false}, {u8"開始", false}, {u8"終了", false},
              {u8"在席", false}, {u8"離席", false}, {u8"実働", false}, {u8"セッション数", false},
              {u8"コンピューター", false}, {u8"備考", false}});
    for (const DayRow& d : r.days) {
        std::string computers;
        for (NameId c : d.computers) computers += (computers.empty() ? "" : u8"、") + r.names.Shown(c);
        rows.Add({{DateText(d.day), false}, {WeekdayText(d.day), false}, {r.names.Shown(d.person), true},
                  {Clock(d.start, d.day), false}, {Clock(d.end, d.day), false}, {HoursText(d.present), false},
                  {HoursText(d.present - d.work), false}, {HoursText(d.work), false},
                  {std::to_string(d.sessions), false}, {computers, true}, {NotesText(d.flags), false}});
    }
    return rows.Take();
}

std::string PeriodCsv(const Report& r)
{
    Rows rows;
    rows.Add({{u8"日付", false}, {u8"ユーザー", false}, {u8"コンピューター", false}, {u8"開始", false},
              {u8"終了", false}, {u8"離席", false}, {u8"実働", false}, {u8"終了理由", false}, {u8"備考", false}});
    for (const Period& p : r.periods) {
        const std::uint8_t flags = p.flags | (p.startEstimated || p.endEstimated ? Estimated : 0);
        rows.Add({{DateText(p.day), false}, {r.names.Shown(p.person), true}, {r.names.Shown(p.computer), true},
                  {Clock(p.span.start, p.day), false}, {Clock(p.span.end, p.day), false}, {HoursText(p.Away()), false},
                  {HoursText(p.span.Length() - p.Away()), false}, {ReasonText(p.reason), false},
                  {NotesText(flags), false}});
    }
    return rows.Take();
}

} // namespace zentrok::report
