#include "Program.h"

#include <windows.h>
#include <shellapi.h>

#include "Csv.h"
#include "Html.h"
#include "Inputs.h"
#include "LogFiles.h"
#include "ReportError.h"
#include "Settings.h"
#include "StreamedText.h"
#include "WinCodec.h"
#include "WinLogFile.h"
#include "WinProfile.h"

namespace zentrok::report {

namespace {
std::string ProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) return Narrow(path.substr(0, n), CP_UTF8);
        path.resize(path.size() * 2);
    }
}

Seconds Now()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return DayNumber(t.wYear, t.wMonth, t.wDay) * SecondsPerDay + t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

// The logger's settings beside this program: its separator and its log folder.
SessionSettings LoggerSettings()
{
    const std::string program = ProgramPath();
    const std::string folder = ToAnsi(program.substr(0, program.find_last_of("\\/") + 1));
    WinProfile profile(folder + SettingsFileName);
    SessionSettings settings;
    LoadSettings(settings, profile, folder);
    return settings;
}

LogData ReadLogs(const std::vector<std::string>& arguments, const std::vector<std::string>& separators, Console& console)
{
    const InputFiles inputs = FindInputs(arguments);
    for (const std::string& m : inputs.missing) console.Error(u8"警告: ログが見つかりません: " + m + "\n");
    LogsRead logs = ReadLogFiles(inputs.files, separators,
                                 [&](std::size_t files, std::size_t lines) { console.Progress(files, lines); });
    console.EndProgress();
    for (const std::string& path : logs.unreadable)
        console.Error(u8"警告: 読めないファイルを飛ばしました: " + path + "\n");
    if (logs.read == 0) {
        std::string named;
        for (const std::string& a : arguments) named += (named.empty() ? "" : u8"、") + a;
        throw ReportError(NothingFound, u8"読めるログがありません: " + named);
    }
    return std::move(logs.data);
}

// Whole or not at all, as the log itself is written, however long the file takes to reach a
// slow share.
bool WriteWhole(const std::string& path, const Content& content)
{
    WinLogFile files;
    files.LeaveContentUntimed();
    const std::string ansi = ToAnsi(path);
    const std::unique_ptr<LogFileAccess::Lock> lock = files.LockLog(ansi);
    return lock && files.Examine(ansi) != LogFileAccess::Kind::Folder &&
           files.ReplaceAll(ansi, content) == LogFileAccess::WriteResult::Written;
}

ReportError CantWrite(const std::string& path) { return ReportError(NothingFound, path + u8" を書き込めません"); }

std::string TempHtmlPath()
{
    wchar_t folder[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    return Narrow(std::wstring(folder, n) + L"ZentrokReport.html", CP_UTF8);
}
} // namespace

int RunReport(const std::vector<std::string>& arguments, Console& console)
{
    Options options = ParseOptions(arguments);
    if (options.help) {
        console.Out(UsageText());
        return Written;
    }
    const SessionSettings settings = LoggerSettings();
    std::vector<std::string> extra = {FromAnsi(settings.Separator)};
    if (options.separator) extra.push_back(DeriveSeparator(*options.separator));

    // A double-click: every log of the logger's folder, as a page in the browser.
    const bool interactive = options.inputs.empty();
    if (interactive) {
        std::string folder = FromAnsi(settings.Directory);
        if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
        options.inputs.push_back(folder + "*.txt");
        // A fixed log name of another ending too (the other names all end in .txt).
        const std::string fixed = FromAnsi(settings.NameString);
        const bool txt = fixed.size() >= 4 && Names::Folded(fixed.substr(fixed.size() - 4)) == ".txt";
        if (settings.NameKind == 1 && !fixed.empty() && !txt) options.inputs.push_back(folder + fixed);
        if (options.csv.empty() && options.html.empty()) options.html = TempHtmlPath();
    }
    LogData data = ReadLogs(options.inputs, KnownSeparators(extra), console);
    const Report report = MakeReport(std::move(data), options, Now());
    if (report.skipped > 0)
        console.Error(u8"記録ではない行 " + std::to_string(report.skipped) + u8" 行を集計から除きました\n");

    WinCodec codec;
    if (!options.csv.empty() && !WriteWhole(options.csv, WholeText(CsvBytes(report, options, codec))))
        throw CantWrite(options.csv);
    if (!options.html.empty()) {
        const StreamedText page([&](TextSink& out) { HtmlPage(report, out); });
        const bool written = WriteWhole(options.html, page);
        page.RaiseFailure();  // out of memory while making it
        if (!written) throw CantWrite(options.html);
    }
    // A CSV cut short on a full disk must not pass for a report.
    if (options.csv.empty() && options.html.empty() && !console.OutBytes(CsvBytes(report, options, codec)))
        throw ReportError(NothingFound, u8"CSV を標準出力に書き込めません");
    for (const std::string* path : {&options.csv, &options.html})
        if (!path->empty()) console.Out(u8"書き出しました: " + *path + "\n");
    if (interactive && !options.html.empty())
        ShellExecuteW(nullptr, L"open", Widen(options.html, CP_UTF8).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return Written;
}

} // namespace zentrok::report
