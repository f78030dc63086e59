// The report's line reader and rules on arbitrary log bytes: every line is a record
// or counted as passed over, the figures hold together, and no text from the log
// reaches the page as markup.
#include <cstdint>

#include "Csv.h"
#include "FuzzInput.h"
#include "Html.h"
#include "ReportError.h"

using namespace zentrok;
using namespace zentrok::report;

namespace {
// Byte for byte: the fuzzer's text is already what the rules see.
class SameBytes : public Codec {
public:
    std::string Cp932ToUtf8(std::string_view text) override { return std::string(text); }
    std::string Utf8ToCp932(std::string_view text) override { return std::string(text); }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    SameBytes codec;
    Options options;
    options.gap = 1 + data[0] * 97;  // from a second to near seven hours
    LogData logs;
    AddLogText(FileTextToUtf8(fuzz::Text(data + 1, size - 1), codec), KnownSeparators({"/", ""}), logs);
    fuzz::Require(logs.skipped <= logs.lines && logs.records.size() + logs.skipped == logs.lines);
    try {
        const Report r = MakeReport(std::move(logs), options, *ParseDateTime("2026/12/06 12:00:00"));
        for (const DayRow& d : r.days)
            fuzz::Require(d.start <= d.end && d.work >= 0 && d.work <= d.present && d.present <= d.end - d.start);
        DayCsv(r);
        PeriodCsv(r);
        const std::string page = HtmlPage(r);
        fuzz::Require(page.find("<script") == std::string::npos && page.find("<img") == std::string::npos);
    } catch (const ReportError&) {
        // no record: nothing to report
    }
    return 0;
}
