#include "WinCodec.h"

#include <windows.h>

#include <climits>

namespace zentrok::report {

std::wstring Widen(std::string_view text, unsigned codePage)
{
    std::wstring wide;
    // In pieces that the int counts of the call can hold, cut only after a line end.
    while (!text.empty()) {
        std::size_t take = text.size();
        if (take > INT_MAX / 2) take = text.substr(0, INT_MAX / 2).rfind('\n') + 1;
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
    std::string narrow;
    while (!text.empty()) {
        std::size_t take = text.size();
        if (take > INT_MAX / 4) take = text.substr(0, INT_MAX / 4).rfind(L'\n') + 1;
        const int n = static_cast<int>(take);
        const int length = WideCharToMultiByte(codePage, 0, text.data(), n, nullptr, 0, nullptr, nullptr);
        const std::size_t at = narrow.size();
        narrow.resize(at + static_cast<std::size_t>(length));
        WideCharToMultiByte(codePage, 0, text.data(), n, narrow.data() + at, length, nullptr, nullptr);
        text.remove_prefix(take);
    }
    return narrow;
}

std::string WinCodec::Cp932ToUtf8(std::string_view text) { return Narrow(Widen(text, 932), CP_UTF8); }

std::string WinCodec::Utf8ToCp932(std::string_view text) { return Narrow(Widen(text, CP_UTF8), 932); }

} // namespace zentrok::report
