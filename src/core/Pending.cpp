#include "Pending.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "Error.h"

namespace zentrok {

namespace {
struct Candidate {
    std::string time;
    std::size_t order;  // the place it was kept in; the fresh line comes after all
    std::string line;
};

// One log's lines in one update, newest first; whether they went in.
bool WriteLog(LogFileAccess& logs, const std::string& log, std::vector<Candidate> lines, std::int32_t maxLines)
{
    std::sort(lines.begin(), lines.end(), [](const Candidate& a, const Candidate& b) {
        return a.time != b.time ? a.time > b.time : a.order > b.order;
    });
    std::vector<std::string> newestFirst;
    for (Candidate& c : lines) newestFirst.push_back(std::move(c.line));
    try {
        AddLogLines(logs, log, newestFirst, maxLines);
        return true;
    } catch (const ZentrokError&) {
        return false;
    }
}
} // namespace

std::string PendingTime(const ClockReading& at)
{
    char text[48];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d.%03d", at.year, at.month, at.day, at.hour,
                  at.minute, at.second, at.milliseconds);
    return text;
}

std::string PendingEntry(const PendingLine& pending) { return pending.time + '\t' + pending.log + '\t' + pending.line; }

std::optional<PendingLine> ParsePendingEntry(std::string_view entry)
{
    const std::size_t first = entry.find('\t');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = entry.find('\t', first + 1);
    if (second == std::string_view::npos || second == first + 1) return std::nullopt;
    return PendingLine{std::string(entry.substr(0, first)), std::string(entry.substr(first + 1, second - first - 1)),
                       std::string(entry.substr(second + 1))};
}

std::optional<KeptCount> WritePendingLines(LogFileAccess& logs, KeptLines& kept,
                                           const std::optional<PendingLine>& fresh, std::int32_t maxLines,
                                           bool everyLog)
{
    // Nothing kept: the line goes straight in, and only its failure touches the kept file.
    if (const std::optional<KeptCount> now = kept.Peek(); now && now->Settled()) {
        if (!fresh) return now;
        try {
            AddLogLine(logs, fresh->log, fresh->line, maxLines);
            return now;
        } catch (const ZentrokError&) {
            if (auto after = kept.Update([&](Kept& k) { k.lines.push_back(PendingEntry(*fresh)); })) return after;
            throw;
        }
    }

    const std::optional<KeptCount> after = kept.Update([&](Kept& k) {
        std::vector<std::optional<PendingLine>> entries;
        std::vector<std::string> order;  // the logs, the fresh line's first
        if (fresh) order.push_back(fresh->log);
        for (const std::string& line : k.lines) {
            entries.push_back(ParsePendingEntry(line));
            const auto& e = entries.back();
            if (e && everyLog && std::find(order.begin(), order.end(), e->log) == order.end()) order.push_back(e->log);
        }
        std::vector<bool> written(entries.size(), false);
        bool freshIn = !fresh;
        for (const std::string& log : order) {
            std::vector<Candidate> lines;
            for (std::size_t i = 0; i < entries.size(); ++i)
                if (entries[i] && entries[i]->log == log) lines.push_back({entries[i]->time, i, entries[i]->line});
            const bool withFresh = fresh && fresh->log == log;
            if (withFresh) lines.push_back({fresh->time, entries.size(), fresh->line});
            if (!WriteLog(logs, log, lines, maxLines)) continue;
            for (const Candidate& c : lines)
                if (c.order < written.size()) written[c.order] = true;
            if (withFresh) freshIn = true;
        }
        std::vector<std::string> left;
        for (std::size_t i = 0; i < k.lines.size(); ++i)
            if (!written[i]) left.push_back(std::move(k.lines[i]));
        k.lines = std::move(left);
        if (!freshIn) k.lines.push_back(PendingEntry(*fresh));
    });
    // The kept file is out of reach: the fresh line, on its own, as without keeping.
    if (!after && fresh) AddLogLine(logs, fresh->log, fresh->line, maxLines);
    return after;
}

} // namespace zentrok
