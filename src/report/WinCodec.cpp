#include "WinCodec.h"

#include <windows.h>

#include <climits>

#include "TextCuts.h"

namespace zentrok::report {

std::wstring Widen(std::string_view text, unsigned codePage)
{
    std::wstring wide;
    // In pieces that the int counts of the call can hold, cut after a line end (see LineCut).
    while (!text.empty()) {
        const std::size_t take = LineCut(text, INT_MAX / 2);
        const int n = static_cast<int>(take);
        const int length = MultiByteToWideChar(codePage, 0, text.data(), n, nullptr, 0);
        const std::size_t at = wide.size();
        wide.resize(at + static_cast<std::size_t>(length));
        MultiByteToWideChar(codePage, 0, text.data(), n, wide.data() + at, length);
        text.remove_prefix(take);
    }
    return wide;
}

std::string Narrow(std::wstring_view text, unsigned codePage)
{
    // A character the code page lacks becomes '?', never a look-alike: best fit turns a soft
    // hyphen into '-', which starts a formula in a spreadsheet. (UTF-8 takes no flags.)
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    std::string narrow;
    while (!text.empty()) {
        const std::size_t take = LineCut(text, INT_MAX / 4);
        const int n = static_cast<int>(take);
        const int length = WideCharToMultiByte(codePage, flags, text.data(), n, nullptr, 0, nullptr, nullptr);
        const std::size_t at = narrow.size();
        narrow.resize(at + static_cast<std::size_t>(length));
        WideCharToMultiByte(codePage, flags, text.data(), n, narrow.data() + at, length, nullptr, nullptr);
        text.remove_prefix(take);
    }
    return narrow;
}

std::string WinCodec::Cp932ToUtf8(std::string_view text) { return Narrow(Widen(text, 932), CP_UTF8); }

std::string WinCodec::Utf8ToCp932(std::string_view text)
{
    // In pieces, each cut before a character's first byte: the whole report as UTF-16 would be
    // twice its size in fresh memory, while a piece's buffers are taken again from the heap.
    constexpr std::size_t piece = 1 << 16;
    std::string out;
    out.reserve(text.size());  // never longer: two or three UTF-8 bytes become one or two
    while (!text.empty()) {
        const std::size_t take = CharacterCut(text, piece);
        out += Narrow(Widen(text.substr(0, take), CP_UTF8), 932);
        text.remove_prefix(take);
    }
    return out;
}

} // namespace zentrok::report
