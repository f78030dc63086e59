#include "Html.h"

#include <algorithm>
#include <map>

#include "TextOut.h"

namespace zentrok::report {

namespace {
// The reference of a markup character, or nothing.
const char* Reference(char c)
{
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&#39;";
    default: return nullptr;
    }
}

constexpr int Width = 520;      // the timeline's pixels
constexpr double MarkWidth = 7;  // an end's mark past the bar: the arrow, or a bold 10-px ?
constexpr int RowHeight = 16;
// A day's axis ends at the latest end, but no later than the second midnight: a period
// longer than that (a damaged log) is cut at the edge; its tooltip has its times.
constexpr int MaxHours = 48;

constexpr const char* Style = R"(
@page { size: A4 landscape; margin: 8mm; }
body { font-family: "Yu Gothic", "Meiryo", "IPAGothic", sans-serif; font-size: 11px; color: #222; margin: 12px; }
h1 { font-size: 18px; margin: 0 0 4px; } h2 { font-size: 14px; margin: 14px 0 4px; }
.about { margin: 0 0 6px; color: #444; }
.legend { display: flex; flex-wrap: wrap; gap: 14px; margin: 4px 0 8px; align-items: center; }
.legend span { display: inline-flex; align-items: center; gap: 4px; }
section { break-after: page; } section:last-of-type { break-after: auto; }
table { border-collapse: collapse; }
th, td { border-bottom: 1px solid #ddd; padding: 0 5px; height: 16px; white-space: nowrap; text-align: right; }
th { background: #e8edf3; font-weight: normal; }
td.tl, th.tl { padding: 0; }
td.name, td.notes { text-align: left; } td.notes { font-size: 10px; color: #a33; }
tr.weekend td { background-color: #eef1f6; } tr.none td { color: #999; background-color: #f7f7f7; }
tr.weekend.none td { background-color: #e9ecf0; }
tfoot td { text-align: left; border-bottom: none; padding-top: 3px; font-weight: bold; }
svg { display: block; }
body { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
/* The hour lines behind every day's bars, from the sheet's --hour: drawn once by the browser, not per row. */
td.tl { width: 520px; background-image: linear-gradient(90deg, #c0392b 1px, transparent 1px),
  repeating-linear-gradient(90deg, #9aa5b4 0 1px, transparent 1px calc(6 * var(--hour))),
  repeating-linear-gradient(90deg, #d6dbe2 0 1px, transparent 1px var(--hour));
  background-size: 1px 100%, auto, auto; background-repeat: no-repeat, repeat, repeat;
  background-position: var(--midnight) 0, 0 0, 0 0; }
/* A day's bars get their size here: a million of them in a page of years. The time away
   of a period is one path, a hatched stroke along the middle of the row. */
td.tl svg { width: 520px; height: 16px; } td.tl rect.work { y: 3px; height: 10px; }
td.tl path.away { fill: none; stroke: url(#hatch); stroke-width: 8px; }
.work { fill: #2f6fbf; } .est { fill: #a9c4ea; stroke: #1f4f99; stroke-dasharray: 3 2; }
.away { fill: url(#hatch); } .mark { fill: #1f4f99; font-size: 10px; font-weight: bold; }
.point { fill: #fff; stroke: #1f4f99; } .running { fill: #2f9f4f; }
.axis { fill: #555; font-size: 9px; }
)";

constexpr const char* Defs =
    R"(<svg width="0" height="0" style="position:absolute"><defs>)"
    R"svg(<pattern id="hatch" width="5" height="5" patternUnits="userSpaceOnUse" patternTransform="rotate(45)">)svg"
    R"(<rect width="5" height="5" fill="#fff"/><line x1="0" y1="0" x2="0" y2="5" stroke="#e07b39" stroke-width="2.5"/>)"
    R"(</pattern></defs></svg>)";

// The page is tens of megabytes for years of an office: everything goes out through a TextOut.
class Page {
public:
    explicit Page(TextSink& out) : text_(out) {}
    Page& operator<<(std::string_view text)
    {
        text_.Put(text);
        return *this;
    }
    Page& operator<<(long long n)
    {
        text_.Number(n, 1);
        return *this;
    }
    // A coordinate to a tenth of a pixel, without a tenth of naught.
    Page& operator<<(double v)
    {
        const long long tenths = static_cast<long long>(v * 10 + (v < 0 ? -0.5 : 0.5));
        if (tenths < 0) text_.Put('-');
        const long long size = tenths < 0 ? -tenths : tenths;
        text_.Number(size / 10, 1);
        if (size % 10 == 0) return *this;
        text_.Put('.');
        text_.Put(static_cast<char>('0' + size % 10));
        return *this;
    }
    void Flush() { text_.Flush(); }
    // Text from the logs in element content and attribute values: runs without markup as they
    // are, each markup character as its reference.
    Page& Escaped(std::string_view text)
    {
        std::size_t from = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (const char* reference = Reference(text[i])) {
                text_.Put(text.substr(from, i - from));
                text_.Put(reference);
                from = i + 1;
            }
        }
        text_.Put(text.substr(from));
        return *this;
    }
    // A bar of a day's row: its height comes from the style sheet.
    Page& Bar(const char* cls, double x1, double x2)
    {
        return *this << "<rect class=\"" << cls << "\" x=\"" << x1 << "\" width=\"" << std::max(x2 - x1, 0.0) << "\"/>";
    }
    Page& Rect(const char* cls, double x1, double x2, int y, int h)
    {
        return *this << "<rect class=\"" << cls << "\" x=\"" << x1 << "\" y=\"" << static_cast<long long>(y)
                     << "\" width=\"" << std::max(x2 - x1, 0.0) << "\" height=\"" << static_cast<long long>(h) << "\"/>";
    }
    Page& Cell(std::string_view text) { return *this << "<td>" << text << "</td>"; }

private:
    TextOut text_;
};

std::string ClockText(Seconds t, std::int64_t day)
{
    const Seconds s = t - day * SecondsPerDay;
    char buf[80];
    char* p = WriteNumber(buf, s / 3600, 1);
    *p++ = ':';
    p = WriteNumber(p, s / 60 % 60, 2);
    *p++ = ':';
    return std::string(buf, WriteNumber(p, s % 60, 2));
}

class Timeline {
public:
    explicit Timeline(Seconds latest) : hours_(static_cast<int>(std::min<Seconds>((latest + 3599) / 3600, MaxHours))) {}
    double X(Seconds fromMidnight) const
    {
        return std::clamp(static_cast<double>(fromMidnight) * Width / (hours_ * 3600.0), 0.0, double(Width));
    }

    // The sheet's scale for the hour lines of its rows.
    void Scale(Page& page) const
    {
        page << "--hour:" << X(3600) << "px;--midnight:" << (hours_ > 24 ? X(24 * 3600) : -9.0) << "px";
    }

    void Labels(Page& page) const
    {
        for (long long h = 0; h < hours_; h += 3)
            page << "<text class=\"axis\" x=\"" << X(h * 3600) + 2 << "\" y=\"11\">" << h << "</text>";
    }

private:
    int hours_;
};

void PeriodBars(Page& page, const Report& r, const Period& p, const Timeline& t)
{
    const Seconds midnight = p.day * SecondsPerDay;
    const double x1 = t.X(p.span.start - midnight), x2 = t.X(p.span.end - midnight);
    const bool estimated = p.startEstimated || p.endEstimated;
    const std::uint8_t flags = p.flags | (estimated ? Estimated : 0);
    page << "<g><title>";
    page.Escaped(r.names.Shown(p.computer));
    page << " " << ClockText(p.span.start, p.day) << u8"〜" << ClockText(p.span.end, p.day) << u8" 実働 "
         << HoursText(p.span.Length() - p.away) << u8" 離席 " << HoursText(p.away);
    if (flags) page << u8"（" << NotesText(flags) << u8"）";
    page << "</title>";
    if (p.span.Length() == 0) {
        page << "<path class=\"point\" d=\"M" << x1 << " 2 L" << x1 + 5 << " 8 L" << x1 << " 14 L" << x1 - 5 << " 8 Z\"/>";
    } else {
        page.Bar(estimated ? "work est" : "work", x1, x2);
        if (p.awayEnd > p.awayBegin) {
            page << "<path class=\"away\" d=\"";
            for (std::size_t k = p.awayBegin; k < p.awayEnd; ++k) {
                const double a1 = t.X(r.away[k].start - midnight), a2 = t.X(r.away[k].end - midnight);
                page << "M" << a1 << " 8h" << std::max(a2 - a1, 0.0);
            }
            page << "\"/>";
        }
    }
    // An end the log doesn't give can't pass for a real one: a question mark, or an arrow while
    // recording; at the axis' end, over the bar's end, as the drawing ends there.
    if (p.flags & Running) {
        const double at = std::min(x2, Width - MarkWidth);
        page << "<path class=\"running\" d=\"M" << at << " 2 L" << at + MarkWidth << " 8 L" << at << " 14 Z\"/>";
    } else if (p.endEstimated || (p.span.Length() == 0 && (p.flags & NoLogoff)))
        page << "<text class=\"mark\" x=\"" << std::min(x2 + 6, Width - MarkWidth) << "\" y=\"12\">?</text>";
    if (p.startEstimated) page << "<text class=\"mark\" x=\"" << std::max(x1 - 8, 0.0) << "\" y=\"12\">?</text>";
    page << "</g>";
}

void Sheet(Page& page, const Report& r, int year, int month, NameId person, const std::vector<const DayRow*>& days)
{
    Seconds latest = 24 * 3600;
    for (const DayRow* d : days) latest = std::max(latest, d->end - d->day * SecondsPerDay);
    const Timeline t(latest);
    page << "<section class=\"sheet\" data-person=\"";
    page.Escaped(r.names.Shown(person)) << "\"><h2>" << static_cast<long long>(year) << u8"年"
                                        << static_cast<long long>(month) << u8"月　";
    page.Escaped(r.names.Shown(person)) << "</h2><table style=\"";
    t.Scale(page);
    page << u8"\"><thead><tr><th>日付</th><th>曜日</th><th>開始</th><th>終了</th><th>在席</th><th>離席</th>"
            u8"<th>実働</th><th>セッション</th><th>備考</th><th class=\"tl\"><svg width=\""
         << static_cast<long long>(Width) << "\" height=\"" << static_cast<long long>(RowHeight) << "\">";
    t.Labels(page);
    page << "</svg></th></tr></thead><tbody>";
    const std::int64_t first = DayNumber(year, month, 1);
    const std::int64_t next = month == 12 ? DayNumber(year + 1, 1, 1) : DayNumber(year, month + 1, 1);
    Seconds work = 0, present = 0;
    auto it = days.begin();
    for (std::int64_t day = first; day < next; ++day) {
        const DayRow* d = it != days.end() && (*it)->day == day ? *it++ : nullptr;
        const std::string date = DateText(day);
        page << "<tr class=\"day" << (IsWeekend(day) ? " weekend" : "") << (d ? "" : " none") << "\" data-date=\""
             << date << "\">";
        page.Cell(std::string_view(date).substr(5)).Cell(WeekdayText(day));
        if (!d) {
            page << "<td></td><td></td><td></td><td></td><td></td><td></td><td class=\"notes\"></td><td class=\"tl\"></td></tr>";
            continue;
        }
        // The bars lie on the hour lines of the cell's background.
        const Seconds midnight = day * SecondsPerDay;
        page.Cell(HoursText(d->start - midnight)).Cell(HoursText(d->end - midnight)).Cell(HoursText(d->present));
        page.Cell(HoursText(d->present - d->work)).Cell(HoursText(d->work)).Cell(std::to_string(d->sessions));
        page << "<td class=\"notes\">" << NotesText(d->flags) << "</td><td class=\"tl\"><svg>";
        for (std::size_t i = d->periodsBegin; i < d->periodsEnd; ++i) PeriodBars(page, r, r.periods[i], t);
        page << "</svg></td></tr>";
        work += d->work;
        present += d->present;
    }
    page << u8"</tbody><tfoot><tr><td colspan=\"10\" class=\"total\">記録のある日 " << static_cast<long long>(days.size())
         << u8" 日　実働 合計 " << HoursText(work) << u8"　在席 合計 " << HoursText(present)
         << "</td></tr></tfoot></table></section>";
}

void Legend(Page& page)
{
    auto swatch = [&](auto draw, const char* text) {
        page << "<span><svg width=\"28\" height=\"16\">";
        draw();
        page << "</svg>" << text << "</span>";
    };
    page << "<div class=\"legend\">";
    swatch([&] { page.Rect("work", 2, 26, 3, 10); }, u8"勤務");
    swatch([&] { page.Rect("work", 2, 26, 3, 10).Rect("away", 2, 26, 4, 8); }, u8"離席（短い中断）");
    swatch([&] { page.Rect("work est", 2, 18, 3, 10) << "<text class=\"mark\" x=\"20\" y=\"12\">?</text>"; },
           u8"推定・不明な開始／終了");
    swatch([&] { page << "<path class=\"point\" d=\"M14 2 L19 8 L14 14 L9 8 Z\"/>"; }, u8"時間のないセッション");
    swatch([&] { page.Rect("work", 2, 18, 3, 10) << "<path class=\"running\" d=\"M18 2 L25 8 L18 14 Z\"/>"; }, u8"記録中");
    swatch([&] { page << "<rect x=\"2\" y=\"2\" width=\"24\" height=\"12\" fill=\"#eef1f6\"/>"; }, u8"土日");
    swatch([&] { page << "<rect x=\"2\" y=\"2\" width=\"24\" height=\"12\" fill=\"#f7f7f7\" stroke=\"#ccc\"/>"; },
           u8"記録のない日");
    page << "</div>";
}
} // namespace

void HtmlPage(const Report& r, TextSink& out)
{
    // Month, then person as shown: the order of the sheets.
    std::map<std::pair<std::int64_t, std::string>, std::pair<NameId, std::vector<const DayRow*>>> sheets;
    for (const DayRow& d : r.days) {
        const Date date = DateOf(d.day);
        auto& sheet = sheets[{date.year * 12 + date.month - 1, r.names.Shown(d.person)}];
        sheet.first = d.person;
        sheet.second.push_back(&d);
    }
    Page page(out);
    const std::int64_t today = DayOf(r.now);
    page << u8"<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\"><title>勤務時間レポート</title><style>"
         << Style << "</style></head><body>" << Defs << u8"<h1>勤務時間レポート</h1><p class=\"about\">作成 "
         << DateText(today) << " " << HoursText(r.now - today * SecondsPerDay) << u8"　読んだ行 "
         << static_cast<long long>(r.lines) << u8"　記録ではない行 <span class=\"skipped\">"
         << static_cast<long long>(r.skipped)
         << u8"</span>（集計していません）　時刻は分未満切り捨て、日をまたぐ勤務は開始日に 24 時以降で表示</p>";
    Legend(page);
    for (const auto& [key, sheet] : sheets)
        Sheet(page, r, static_cast<int>(key.first / 12), static_cast<int>(key.first % 12) + 1, sheet.first, sheet.second);
    page << "</body></html>\n";
    page.Flush();
}

std::string HtmlPage(const Report& r)
{
    std::string html;
    StringSink sink(html);
    HtmlPage(r, sink);
    return html;
}

} // namespace zentrok::report
