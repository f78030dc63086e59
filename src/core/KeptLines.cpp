#include "KeptLines.h"

#include <algorithm>

#include "Text.h"

namespace zentrok {

namespace {
constexpr std::string_view DroppedMark = "#dropped ";

KeptCount CountOf(const Kept& kept) { return {kept.lines.size(), kept.dropped}; }
} // namespace

std::string KeptText(const Kept& kept)
{
    std::string text;
    if (kept.dropped > 0) text.append(DroppedMark).append(std::to_string(kept.dropped)).append("\r\n");
    for (const std::string& line : kept.lines) text.append(line).append("\r\n");
    return text;
}

Kept ParseKept(std::string_view text)
{
    Kept kept;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        if (kept.lines.empty() && kept.dropped == 0 && line.substr(0, DroppedMark.size()) == DroppedMark)
            kept.dropped = static_cast<std::uint64_t>(std::max(0, StrToIntDef(line.substr(DroppedMark.size()), 0)));
        else if (!line.empty())
            kept.lines.emplace_back(line);
        pos = end + 1;
    }
    return kept;
}

std::optional<KeptCount> KeptLines::Peek()
{
    const LogFileAccess::Kind kind = files_.Examine(path_);
    if (kind == LogFileAccess::Kind::Missing) return KeptCount{};
    std::string text;
    if (kind != LogFileAccess::Kind::File || !files_.ReadAll(path_, text)) return std::nullopt;
    return CountOf(ParseKept(text));
}

std::optional<KeptCount> KeptLines::Update(const std::function<void(Kept&)>& change)
{
    const std::unique_ptr<LogFileAccess::Lock> lock = files_.LockLog(path_);
    if (!lock) return std::nullopt;
    const LogFileAccess::Kind kind = files_.Examine(path_);
    std::string text;
    if (kind != LogFileAccess::Kind::Missing && (kind != LogFileAccess::Kind::File || !files_.ReadAll(path_, text)))
        return std::nullopt;
    Kept kept = ParseKept(text);
    change(kept);
    if (kept.lines.size() > Most) {
        const std::size_t over = kept.lines.size() - Most;
        kept.lines.erase(kept.lines.begin(), kept.lines.begin() + static_cast<std::ptrdiff_t>(over));
        kept.dropped += over;
    }
    if (kept.lines.empty()) kept.dropped = 0;  // all delivered: nothing more to tell
    const std::string after = KeptText(kept);
    if (after == text) return CountOf(kept);
    // Delivering may have taken the time of an update or more.
    files_.RestartDeadline();
    if (files_.ReplaceAll(path_, after) != LogFileAccess::WriteResult::Written) return std::nullopt;
    // Emptied first, so that a file that can't be deleted holds nothing to deliver twice.
    if (kept.lines.empty()) files_.Remove(path_);
    return CountOf(kept);
}

} // namespace zentrok
