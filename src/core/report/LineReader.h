// Turns log files into records: decides each file's encoding, recognises the record
// lines of any of the separators given and passes over every other line.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Records.h"

namespace zentrok::report {

// The code page conversions the system provides.
class Codec {
public:
    virtual ~Codec() = default;
    virtual std::string Cp932ToUtf8(std::string_view text) = 0;
    virtual std::string Utf8ToCp932(std::string_view text) = 0;
};

bool IsUtf8(std::string_view text);
// A file's bytes as UTF-8: after a UTF-8 byte-order mark (a byte of no valid character there as
// U+FFFD), or valid UTF-8, as they are; else read as CP932.
std::string FileTextToUtf8(std::string bytes, Codec& codec);

// The separators the settings produce by default, then the extra ones (UTF-8, as derived from the setting).
std::vector<std::string> KnownSeparators(const std::vector<std::string>& extra);

struct ParsedLine {
    Word word = Word::Logon;
    Seconds time = 0;
    std::string_view user, computer;
    Reason reason = Reason::None;
};

// One line (UTF-8, no line end): a record, or nothing.
std::optional<ParsedLine> ParseLine(std::string_view line, const std::vector<std::string>& separators);

struct LogData {
    Names names;
    std::vector<Record> records;
    std::size_t lines = 0;    // every non-empty line read
    std::size_t skipped = 0;  // non-empty lines that are not records
};

// Adds one file's text (UTF-8). Its records go in the order written: a file whose times
// mostly fall from line to line is newest first and is taken bottom up.
void AddLogText(std::string_view text, const std::vector<std::string>& separators, LogData& data);
// Puts the records of files read apart (on another processor) after those of data, as if
// their texts had been added to it in turn: names as first seen, records in the order written.
void AppendLogData(LogData& data, const LogData& later);

} // namespace zentrok::report
