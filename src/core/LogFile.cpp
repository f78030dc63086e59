#include "LogFile.h"

#include "Error.h"
#include "LogText.h"

namespace zentrok {

namespace {
[[noreturn]] void CantCreate(const std::string& path) { throw ZentrokError(FormatWith("ファイル %s を作成できません", path)); }
} // namespace

void RefuseLogPath(const std::string& path)
{
    if (path.find('\t') != std::string::npos) CantCreate(path);
}

void AddLogLine(LogFileAccess& files, const std::string& path, const std::string& line, std::int32_t maxLines)
{
    AddLogLines(files, path, {line}, maxLines);
}

void AddLogLines(LogFileAccess& files, const std::string& path, const std::vector<std::string>& newestFirst,
                 std::int32_t maxLines)
{
    const std::unique_ptr<LogFileAccess::Lock> lock = files.LockLog(path);
    if (!lock) CantCreate(path);
    const LogFileAccess::Kind kind = files.Examine(path);
    // Windows refuses to overwrite a read-only file for every user; test it ourselves
    // so that an administrator's run refuses it too.
    if (kind == LogFileAccess::Kind::Folder || kind == LogFileAccess::Kind::ReadOnlyFile) CantCreate(path);

    std::string text;
    if (kind == LogFileAccess::Kind::Unreadable || (kind == LogFileAccess::Kind::File && !files.ReadAll(path, text)))
        throw ZentrokError(FormatWith("ファイル %s は開けません", path));
    InsertLogLinesInPlace(text, newestFirst, maxLines);  // a long log is not copied

    switch (files.ReplaceAll(path, text)) {
    case LogFileAccess::WriteResult::Written: return;
    case LogFileAccess::WriteResult::CantCreate: CantCreate(path);
    case LogFileAccess::WriteResult::ShortWrite: throw ZentrokError("ストリームへの書き込みエラー");
    }
}

} // namespace zentrok
