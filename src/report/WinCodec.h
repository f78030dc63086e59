// The system's conversions between the ANSI code page 932, UTF-16 and UTF-8.
#pragma once
#include <string>
#include <string_view>

#include "LineReader.h"

namespace zentrok::report {

std::wstring Widen(std::string_view text, unsigned codePage);
std::string Narrow(std::wstring_view text, unsigned codePage);

class WinCodec : public Codec {
public:
    std::string Cp932ToUtf8(std::string_view text) override;
    std::string Utf8ToCp932(std::string_view text) override;
};

} // namespace zentrok::report
