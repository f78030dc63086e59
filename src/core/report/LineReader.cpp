#include "LineReader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zentrok::report {

namespace {
// Short texts compared and searched in loops of our own: the C library under Wine compares
// and searches one byte at a time behind a call, and a log line holds only a few short fields.
bool StartsWith(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (text[i] != prefix[i]) return false;
    return true;
}

bool Same(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWith(a, b); }

std::size_t Find(std::string_view text, std::string_view part, std::size_t from)
{
    for (std::size_t i = from; i + part.size() <= text.size(); ++i)
        if ((part.empty() || text[i] == part[0]) && StartsWith(text.substr(i), part)) return i;
    return std::string_view::npos;
}

std::size_t FindLast(std::string_view text, std::string_view part)
{
    for (std::size_t i = text.size() - std::min(part.size(), text.size()) + 1; i-- > 0;)
        if ((part.empty() || text[i] == part[0]) && StartsWith(text.substr(i), part)) return i;
    return std::string_view::npos;
}
} // namespace

std::string Names::Folded(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

NameId Names::Id(std::string_view name)
{
    if (name.empty()) return NoName;
    for (int i = 0; i < 2; ++i)
        if (recentId_[i] != NoName && Same(recent_[i], name)) return recentId_[i];
    const auto [it, added] = ids_.try_emplace(Folded(name), static_cast<NameId>(shown_.size()));
    if (added) shown_.emplace_back(name);
    recent_[1] = std::move(recent_[0]);
    recentId_[1] = recentId_[0];
    recent_[0] = name;
    recentId_[0] = it->second;
    return it->second;
}

namespace {
// The length of the valid UTF-8 character of two bytes or more at text[i], or 0.
std::size_t MultiByteAt(std::string_view text, std::size_t i)
{
    const unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t more = 0;
    unsigned min = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        more = 1, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        more = 2, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        more = 3, min = 0x10000;
    } else {
        return 0;
    }
    if (i + more >= text.size()) return 0;
    unsigned value = c & (0x3F >> more);
    for (std::size_t k = 1; k <= more; ++k) {
        const unsigned char t = static_cast<unsigned char>(text[i + k]);
        if ((t & 0xC0) != 0x80) return 0;
        value = value << 6 | (t & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    return more + 1;
}

// Each byte that begins no valid character as U+FFFD: that line is spoiled, the others are read.
std::string Repaired(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = static_cast<unsigned char>(text[i]) < 0x80 ? 1 : MultiByteAt(text, i);
        out.append(n ? text.substr(i, n) : std::string_view("\xEF\xBF\xBD"));
        i += n ? n : 1;
    }
    return out;
}
} // namespace

bool IsUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            const std::size_t n = MultiByteAt(text, i);
            if (n == 0) return false;
            i += n;
            continue;
        }
        ++i;
        // Runs of ASCII, the bulk of a log, eight bytes at a time.
        while (i + 8 <= text.size()) {
            std::uint64_t eight;
            std::memcpy(&eight, text.data() + i, 8);
            if (eight & 0x8080808080808080ull) break;
            i += 8;
        }
    }
    return true;
}

std::string FileTextToUtf8(std::string bytes, Codec& codec)
{
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    // A byte-order mark says UTF-8, whatever follows it.
    if (std::string_view(bytes).substr(0, 3) == bom) {
        bytes.erase(0, 3);
        return IsUtf8(bytes) ? std::move(bytes) : Repaired(bytes);
    }
    if (IsUtf8(bytes)) return bytes;
    return codec.Cp932ToUtf8(bytes);
}

std::vector<std::string> KnownSeparators(const std::vector<std::string>& extra)
{
    std::vector<std::string> all = {" - ", ",", "\t"};
    for (const std::string& s : extra)
        if (std::find(all.begin(), all.end(), s) == all.end()) all.push_back(s);
    // No separator at all fits nearly any line: tried last, so that it never takes a line of another.
    std::stable_partition(all.begin(), all.end(), [](const std::string& s) { return !s.empty(); });
    return all;
}

namespace {
constexpr std::size_t WordBytes = 6;
constexpr std::size_t DateTimeBytes = 20;  // yyyy/mm/dd hh:mm:ss.

struct WordText {
    const char* text;
    Word word;
};
constexpr WordText Words[] = {{"LOGON ", Word::Logon},  {"LOGOFF", Word::Logoff},        {"LOCK  ", Word::Lock},
                              {"UNLOCK", Word::Unlock}, {"SLEEP ", Word::Sleep},         {"RESUME", Word::Resume},
                              {"RCONN ", Word::RemoteConnect}, {"RDISC ", Word::RemoteDisconnect}};

std::optional<Seconds> DateTimeField(std::string_view text, DateMemo& memo)
{
    if (text.size() < DateTimeBytes || text[DateTimeBytes - 1] != '.') return std::nullopt;
    return ParseDateTime(text, memo);
}

Reason ReasonOf(std::string_view field)
{
    if (Same(field, u8"ログオフ")) return Reason::Logoff;
    if (Same(field, u8"シャットダウン")) return Reason::Shutdown;
    return Reason::None;
}

// The fields after the word with one separator: user (optional), date-time, computer
// (optional), end reason (optional). The date-time is the first place that holds one.
// Fills p; false when the line is no record with sep. (A result filled in place, rather than an
// optional handed up and copied on, spares the processor stalls on every line.)
bool ParseFields(Word word, std::string_view rest, std::string_view sep, DateMemo& memo, ParsedLine& p)
{
    p = ParsedLine{};
    p.word = word;
    std::size_t at = 0;
    std::optional<Seconds> time = DateTimeField(rest, memo);
    if (!time) {
        for (at = Find(rest, sep, sep.empty() ? 1 : 0); at != std::string_view::npos; at = Find(rest, sep, at + 1)) {
            time = DateTimeField(rest.substr(at + sep.size()), memo);
            if (time) break;
        }
        if (!time) return false;
        p.user = rest.substr(0, at);
        at += sep.size();
    }
    p.time = *time;
    std::string_view after = rest.substr(at + DateTimeBytes);
    if (after.empty()) return true;
    if (!StartsWith(after, sep)) return false;  // digits or text glued to the time
    after.remove_prefix(sep.size());
    if (const Reason r = ReasonOf(after); r != Reason::None) {
        p.reason = r;
        return true;
    }
    const std::size_t last = sep.empty() ? std::string_view::npos : FindLast(after, sep);
    if (last != std::string_view::npos) {
        p.reason = ReasonOf(after.substr(last + sep.size()));
        if (p.reason != Reason::None) after = after.substr(0, last);
    }
    p.computer = after;
    return true;
}
// The offset of the next CR or LF from pos, or the text's end: eight bytes at a time, as
// the C library under Wine looks at one byte at a time.
std::size_t LineEnd(std::string_view text, std::size_t pos)
{
#if defined(__SSE2__)
    // Sixteen at a time where the processor surely can (every 64-bit one).
    const __m128i lf16 = _mm_set1_epi8('\n'), cr16 = _mm_set1_epi8('\r');
    for (; pos + 16 <= text.size(); pos += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + pos));
        const int found = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf16), _mm_cmpeq_epi8(v, cr16)));
        if (found) return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(found)));
    }
#endif
    constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    for (; pos + 8 <= text.size(); pos += 8) {
        std::uint64_t v;
        std::memcpy(&v, text.data() + pos, 8);
        const std::uint64_t lf = v ^ (ones * '\n'), cr = v ^ (ones * '\r');
        // The lowest bit set marks the first CR or LF (little-endian; a false mark only ever follows a true one).
        const std::uint64_t found = ((lf - ones) & ~lf & highs) | ((cr - ones) & ~cr & highs);
        if (found) return pos + static_cast<std::size_t>(__builtin_ctzll(found)) / 8;
    }
    while (pos < text.size() && text[pos] != '\n' && text[pos] != '\r') ++pos;
    return pos;
}

bool ParseRecord(std::string_view line, const std::vector<std::string>& separators, DateMemo& memo, ParsedLine& p)
{
    if (line.size() < WordBytes + DateTimeBytes) return false;
    // A fixed count of bytes: the compiler compares them in place, with no call.
    const auto w = std::find_if(std::begin(Words), std::end(Words),
                                [&](const WordText& t) { return std::memcmp(line.data(), t.text, WordBytes) == 0; });
    if (w == std::end(Words)) return false;
    const std::string_view rest = line.substr(WordBytes);
    for (const std::string& sep : separators)
        if (StartsWith(rest, sep) && ParseFields(w->word, rest.substr(sep.size()), sep, memo, p)) return true;
    return false;
}
} // namespace

std::optional<ParsedLine> ParseLine(std::string_view line, const std::vector<std::string>& separators)
{
    DateMemo memo;
    ParsedLine p;
    if (!ParseRecord(line, separators, memo, p)) return std::nullopt;
    return p;
}

void AddLogText(std::string_view text, const std::vector<std::string>& separators, LogData& data)
{
    const std::size_t first = data.records.size();
    std::size_t rising = 0, falling = 0;
    std::size_t pos = 0;
    DateMemo memo;
    ParsedLine p;
    while (pos < text.size()) {
        const std::size_t end = LineEnd(text, pos);
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
        if (line.empty()) continue;
        ++data.lines;
        if (!ParseRecord(line, separators, memo, p)) {
            ++data.skipped;
            continue;
        }
        if (data.records.size() > first) {
            const Seconds before = data.records.back().time;
            rising += p.time > before;
            falling += p.time < before;
        }
        // Filled in place, and below swapped as whole bytes: a record put together aside is stored
        // in narrow pieces and read back wide, which stalls the processor on every line.
        Record& r = data.records.emplace_back();
        r.time = p.time;
        r.user = data.names.Id(p.user);
        r.computer = data.names.Id(p.computer);
        r.word = p.word;
        r.reason = p.reason;
    }
    if (falling > rising) {
        for (std::size_t a = first, b = data.records.size(); a + 1 < b; ++a) {
            --b;
            Record t;
            std::memcpy(&t, &data.records[a], sizeof t);
            std::memcpy(&data.records[a], &data.records[b], sizeof t);
            std::memcpy(&data.records[b], &t, sizeof t);
        }
    }
    for (std::size_t i = first; i < data.records.size(); ++i) data.records[i].order = static_cast<std::uint32_t>(i);
}

void AppendLogData(LogData& data, const LogData& later)
{
    std::vector<NameId> id(later.names.Count(), NoName);
    for (NameId n = 1; n < id.size(); ++n) id[n] = data.names.Id(later.names.Shown(n));
    const std::size_t first = data.records.size();
    data.records.insert(data.records.end(), later.records.begin(), later.records.end());
    for (std::size_t i = first; i < data.records.size(); ++i) {
        Record& r = data.records[i];
        r.user = id[r.user];
        r.computer = id[r.computer];
        r.order = static_cast<std::uint32_t>(i);
    }
    data.lines += later.lines;
    data.skipped += later.skipped;
}

} // namespace zentrok::report
