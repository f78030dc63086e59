#include "LogText.h"

#include <cstring>

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
} // namespace

std::string InsertLogLine(std::string_view oldText, std::string_view line, std::int32_t maxLines)
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

} // namespace zentrok
