// Log lines that couldn't be written, kept beside the settings and written later
// into the log each was meant for.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "KeptLines.h"
#include "LogFile.h"
#include "System.h"

namespace zentrok {

inline constexpr const char* PendingFileName = "Zentrok.pending";

struct PendingLine {
    std::string time;  // the record's clock reading, "yyyy/mm/dd hh:mm:ss.zzz": orders a log's lines
    std::string log;   // the full path of the log it belongs in
    std::string line;
};

std::string PendingTime(const ClockReading& at);
// "time<TAB>log<TAB>line": a path holds no tab, a line may.
std::string PendingEntry(const PendingLine& pending);
std::optional<PendingLine> ParsePendingEntry(std::string_view entry);
// Whether a kept line is an entry at all; a damaged one is never written.
inline bool IsPendingEntry(std::string_view entry) { return ParsePendingEntry(entry).has_value(); }

// Writes fresh, when given, to its log together with the lines kept for that log,
// in one update, newest first; with everyLog, the kept lines of each other log
// too, an update each. What can't be written is kept. Raises the log's error only
// when fresh could be neither written nor kept. Answers what is kept afterwards,
// nothing when the kept file can't be read.
std::optional<KeptCount> WritePendingLines(LogFileAccess& logs, KeptLines& kept,
                                           const std::optional<PendingLine>& fresh, std::int32_t maxLines,
                                           bool everyLog);

} // namespace zentrok
