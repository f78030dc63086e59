// Log text of a given length for the benchmarks: records of about 60 bytes, as the program writes them.
#pragma once
#include <cstdio>
#include <string>

namespace bench {

inline std::string SampleLine(int n)
{
    char buf[80];
    std::snprintf(buf, sizeof buf, "LOGON  - user%04d - 2026/12/06 09:%02d:%02d. - PC%08d", n % 10000, n / 60 % 60,
                  n % 60, n);
    return buf;
}

inline std::string SampleLog(int lines)
{
    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 60);
    for (int n = 0; n < lines; ++n) text.append(SampleLine(n)).append("\r\n");
    return text;
}

} // namespace bench
