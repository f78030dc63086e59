#include "LogText.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace zentrok {

namespace {
// Offset of the next byte c at or after from; remembers its last answer so that
// repeated calls scan the text once in all.
class NextByte {
public:
    NextByte(std::string_view text, char c) : text_(text), c_(c) {}
    std::size_t From(std::size_t from)
    {
        if (found_ == unknown || found_ < from) {
            const void* hit = from < text_.size() ? std::memchr(text_.data() + from, c_, text_.size() - from) : nullptr;
            found_ = hit ? static_cast<const char*>(hit) - text_.data() : text_.size();
        }
        return found_;
    }

private:
    static constexpr std::size_t unknown = static_cast<std::size_t>(-1);
    std::string_view text_;
    char c_;
    std::size_t found_ = unknown;
};

// A log this program wrote ends every line in CR LF; such a prefix is copied in one
// piece. Counting and checking go block by block, in loops the compiler vectorises.
constexpr std::size_t Block = 4096;

std::size_t CountLf(const char* p, std::size_t n)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < n;) {
        // A byte-wide counter keeps the loop in vector registers; it must not overflow.
        const std::size_t stop = std::min(n, i + 255);
        unsigned char part = 0;
        for (; i < stop; ++i) part += p[i] == '\n';
        count += part;
    }
    return count;
}

// Whether each of p[0, n) is a CR exactly when the byte after it is an LF; reads p[n].
bool PairedCrLf(const char* p, std::size_t n)
{
    unsigned char odd = 0;
    for (std::size_t i = 0; i < n; ++i) odd |= (p[i] == '\r') ^ (p[i + 1] == '\n');
    return odd == 0;
}

// The length of the first `lines` lines of text when all of them end in CR LF (the
// last may end with the text instead); nothing when one ends otherwise.
std::optional<std::size_t> CrLfPrefix(std::string_view text, std::int64_t lines)
{
    const char* p = text.data();
    const std::size_t n = text.size();
    if (n == 0 || lines <= 0) return 0;
    if (p[0] == '\n') return std::nullopt;
    for (std::size_t pos = 0;; pos += Block) {
        const std::size_t end = std::min(n, pos + Block);
        const auto ends = static_cast<std::int64_t>(CountLf(p + pos, end - pos));
        if (ends >= lines) {
            std::size_t cut = pos;
            for (; lines > 0; --lines) cut = static_cast<const char*>(std::memchr(p + cut, '\n', end - cut)) - p + 1;
            if (PairedCrLf(p + pos, cut - 1 - pos)) return cut;
            return std::nullopt;
        }
        lines -= ends;
        if (end == n) {
            if (PairedCrLf(p + pos, n - 1 - pos) && p[n - 1] != '\r') return n;
            return std::nullopt;
        }
        if (!PairedCrLf(p + pos, end - pos)) return std::nullopt;
    }
}

// Line by line, for logs with other line ends.
std::string InsertSlowly(std::string_view oldText, std::string_view line, std::int32_t maxLines)
{
    std::string out;
    // Room for the old text, the new line and a few converted line ends.
    out.reserve(oldText.size() + line.size() + 2 + oldText.size() / 32);
    out.append(line);
    out.append("\r\n");

    NextByte nextCr(oldText, '\r'), nextLf(oldText, '\n');
    std::int64_t lines = 1;
    std::size_t pos = 0;
    while (pos < oldText.size() && lines < maxLines) {
        const std::size_t cr = nextCr.From(pos);
        const std::size_t lf = nextLf.From(pos);
        std::size_t end, next;
        if (cr < lf) {
            end = cr;
            next = cr + 1 < oldText.size() && oldText[cr + 1] == '\n' ? cr + 2 : cr + 1;
        } else {
            end = lf;
            next = lf + 1;
        }
        out.append(oldText.data() + pos, end - pos);
        out.append("\r\n");
        pos = next;
        ++lines;
    }
    return out;
}
} // namespace

std::string InsertLogLine(std::string_view oldText, std::string_view line, std::int32_t maxLines)
{
    std::string out;
    if (const std::optional<std::size_t> cut = CrLfPrefix(oldText, std::int64_t{maxLines} - 1)) {
        out.reserve(line.size() + 4 + *cut);
        out.append(line).append("\r\n").append(oldText.data(), *cut);
        if (*cut > 0 && oldText[*cut - 1] != '\n') out.append("\r\n");  // the last line had no end
        return out;
    }
    return InsertSlowly(oldText, line, maxLines);
}

void InsertLogLineInPlace(std::string& text, std::string_view line, std::int32_t maxLines)
{
    const std::optional<std::size_t> cut = CrLfPrefix(text, std::int64_t{maxLines} - 1);
    if (!cut) {
        text = InsertSlowly(text, line, maxLines);
        return;
    }
    const bool unfinished = *cut > 0 && text[*cut - 1] != '\n';
    text.resize(*cut);
    if (unfinished) text.append("\r\n");
    std::string head(line);
    head.append("\r\n");
    text.insert(0, head);
}

void InsertLogLinesInPlace(std::string& text, const std::vector<std::string>& newestFirst, std::int32_t maxLines)
{
    // The new lines go in as one block, and the old text keeps what room they leave.
    const std::size_t room = static_cast<std::size_t>(std::max<std::int32_t>(maxLines, 1));
    const std::size_t count = std::min(newestFirst.size(), room);
    if (count == 0) return;
    std::string block;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) block.append("\r\n");
        block.append(newestFirst[i]);
    }
    InsertLogLineInPlace(text, block, maxLines - static_cast<std::int32_t>(count - 1));
}

} // namespace zentrok
