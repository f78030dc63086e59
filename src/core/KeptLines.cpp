#include "KeptLines.h"

#include <algorithm>

#include "Text.h"

namespace zentrok {

namespace {
constexpr std::string_view DroppedMark = "#dropped ";

// from without one of each of take's lines, in from's order.
std::vector<std::string> Without(const std::vector<std::string>& from, const std::vector<std::string>& take)
{
    std::vector<const std::string*> sorted;
    for (const std::string& line : take) sorted.push_back(&line);
    const auto less = [](const std::string* a, const std::string* b) { return *a < *b; };
    std::sort(sorted.begin(), sorted.end(), less);
    std::vector<bool> used(sorted.size(), false);
    std::vector<std::string> rest;
    for (const std::string& line : from) {
        auto it = std::lower_bound(sorted.begin(), sorted.end(), &line, less);
        while (it != sorted.end() && **it == line && used[static_cast<std::size_t>(it - sorted.begin())]) ++it;
        if (it != sorted.end() && **it == line) used[static_cast<std::size_t>(it - sorted.begin())] = true;
        else rest.push_back(line);
    }
    return rest;
}
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

KeptCount KeptLines::CountOf(const Kept& kept) const
{
    KeptCount count{0, kept.dropped, 0, delivered_.size()};
    for (const std::string& line : kept.lines) ++(!readable_ || readable_(line) ? count.lines : count.unreadable);
    return count;
}

Kept KeptLines::Current(Kept onDisk) const
{
    if (!delivered_.empty()) onDisk.lines = Without(onDisk.lines, delivered_);
    onDisk.lines.insert(onDisk.lines.end(), held_.begin(), held_.end());
    return onDisk;
}

void KeptLines::Remember(const std::vector<std::string>& onDisk, const std::vector<std::string>& current)
{
    delivered_ = Without(onDisk, current);
    held_ = Without(current, onDisk);
}

void KeptLines::Hold(const std::vector<std::string>& lines)
{
    held_.insert(held_.end(), lines.begin(), lines.end());
    if (held_.size() > Most) held_.erase(held_.begin(), held_.end() - static_cast<std::ptrdiff_t>(Most));
}

std::optional<KeptCount> KeptLines::Peek()
{
    const LogFileAccess::Kind kind = files_.Examine(path_);
    std::string text;
    if (kind != LogFileAccess::Kind::Missing && (kind != LogFileAccess::Kind::File || !files_.ReadAll(path_, text)))
        return std::nullopt;
    return CountOf(Current(ParseKept(text)));
}

std::optional<KeptCount> KeptLines::Update(const std::function<void(Kept&)>& change)
{
    const std::unique_ptr<LogFileAccess::Lock> lock = files_.LockLog(path_);
    if (!lock) return std::nullopt;
    const LogFileAccess::Kind kind = files_.Examine(path_);
    std::string text;
    if (kind != LogFileAccess::Kind::Missing && (kind != LogFileAccess::Kind::File || !files_.ReadAll(path_, text)))
        return std::nullopt;
    const Kept onDisk = ParseKept(text);
    // A file that can't be replaced after its lines went out (a viewer holds it open)
    // would have every copy deliver them again: it is tried first, with what it holds.
    if (!onDisk.lines.empty() && files_.ReplaceAll(path_, text) != LogFileAccess::WriteResult::Written)
        return std::nullopt;
    Kept kept = Current(onDisk);
    change(kept);
    if (kept.lines.size() > Most) {
        const std::size_t over = kept.lines.size() - Most;
        kept.lines.erase(kept.lines.begin(), kept.lines.begin() + static_cast<std::ptrdiff_t>(over));
        kept.dropped += over;
    }
    if (kept.lines.empty()) kept.dropped = 0;  // all delivered: nothing more to tell
    const std::string after = KeptText(kept);
    Remember(onDisk.lines, kept.lines);
    if (after == text) return CountOf(kept);
    // Delivering may have taken the time of an update or more.
    files_.RestartDeadline();
    if (files_.ReplaceAll(path_, after) != LogFileAccess::WriteResult::Written) return CountOf(kept);
    Remember(kept.lines, kept.lines);
    // Emptied first, so that a file that can't be deleted holds nothing to deliver twice.
    if (kept.lines.empty()) files_.Remove(path_);
    return CountOf(kept);
}

} // namespace zentrok
