#include "Options.h"

#include "Records.h"
#include "ReportError.h"

namespace zentrok::report {

namespace {
[[noreturn]] void Wrong(const std::string& what)
{
    throw ReportError(WrongCommandLine, what + u8"\n使い方は ZentrokReport /? で表示されます。");
}

// Hours as "3", "1.5" or ".5": more than 0, at most a week.
Seconds ParseHours(const std::string& text)
{
    double value = 0, scale = 1;
    bool point = false, digit = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9' && value < 1e6) {
            digit = true;
            if (point) scale /= 10;
            value = point ? value + (c - '0') * scale : value * 10 + (c - '0');
        } else {
            Wrong(u8"/GAP の時間が数ではありません: " + text);
        }
    }
    if (!digit || value <= 0 || value > 168) Wrong(u8"/GAP の時間は 0 より大きく 168 以下にしてください: " + text);
    return static_cast<Seconds>(value * 3600 + 0.5);
}

std::int64_t ParseDay(const std::string& option, const std::string& text)
{
    const std::optional<std::int64_t> day = ParseDate(text);
    if (!day) Wrong(option + u8" の日付は yyyy/mm/dd で書いてください: " + text);
    return *day;
}
} // namespace

Options ParseOptions(const std::vector<std::string>& args)
{
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty() || arg[0] != '/') {
            o.inputs.push_back(arg);
            continue;
        }
        const std::string name = Names::Folded(arg);
        if (name == "/?") {
            o.help = true;
            continue;
        }
        if (name == "/utf8") {
            o.utf8 = true;
            continue;
        }
        if (name == "/detail") {
            o.detail = true;
            continue;
        }
        const bool takesValue =
            name == "/csv" || name == "/html" || name == "/gap" || name == "/from" || name == "/to" || name == "/user" ||
            name == "/sep";
        if (!takesValue) Wrong(u8"知らないオプションです: " + arg);
        if (i + 1 >= args.size()) Wrong(arg + u8" の後に値がありません");
        const std::string& value = args[++i];
        if (name == "/csv") o.csv = value;
        if (name == "/html") o.html = value;
        if (name == "/gap") o.gap = ParseHours(value);
        if (name == "/from") o.from = ParseDay(arg, value);
        if (name == "/to") o.to = ParseDay(arg, value);
        if (name == "/user") o.user = value;
        if (name == "/sep") o.separator = value;
    }
    if (o.from && o.to && *o.from > *o.to) Wrong(u8"/FROM の日付が /TO の日付より後です");
    return o;
}

std::string UsageText()
{
    return u8"ZentrokReport - ログから人ごと・日ごとの勤務時間を集計します\n"
           u8"\n"
           u8"ZentrokReport [ログ ...] [/CSV ファイル] [/HTML ファイル] [オプション]\n"
           u8"\n"
           u8"  ログ            ログファイル、フォルダー（中のファイルすべて）、ワイルドカード（\\\\server\\logs\\*.txt）\n"
           u8"  /CSV ファイル   日ごとの表を CSV で書き出す（CP932、CR LF）\n"
           u8"  /UTF8           CSV を UTF-8（BOM 付き）で書き出す\n"
           u8"  /DETAIL         CSV に日ごとではなく勤務区間ごとの行を書く\n"
           u8"  /HTML ファイル  月ごと・人ごとのタイムラインを HTML で書き出す\n"
           u8"  /FROM yyyy/mm/dd  この日から（この日を含む）\n"
           u8"  /TO yyyy/mm/dd    この日まで（この日を含む）\n"
           u8"  /USER 名前      この人だけ（大文字と小文字は区別しません）\n"
           u8"  /GAP 時間       これ以上の離席で勤務区間を分ける（既定 3、小数可）\n"
           u8"  /SEP 文字列     ログの区切り文字（- は \" - \"、<TAB> はタブ）\n"
           u8"  /?              この説明\n"
           u8"\n"
           u8"ログを指定しないと Zentrok.ini のログフォルダーを集計し、HTML をブラウザーで開きます。\n"
           u8"/CSV も /HTML もないときは CSV を標準出力に書きます。\n"
           u8"終了コード: 0 書き出した、1 読めるログや記録がない・書き出せない、2 コマンドラインの誤り\n";
}

} // namespace zentrok::report
