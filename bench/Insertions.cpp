#include "Insertions.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace bench {

namespace {
PROCESS_MEMORY_COUNTERS_EX Memory()
{
    PROCESS_MEMORY_COUNTERS_EX m{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
    return m;
}

double Seconds()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}
} // namespace

int InsertionMain(int argc, char** argv, const std::function<void(const std::string& log)>& insert)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s <log> <count> <label> <results> [extra]\n", argv[0]);
        return 2;
    }
    const std::string log = argv[1], label = argv[3];
    const int count = std::atoi(argv[2]);
    FILE* out = std::fopen(argv[4], "a");
    if (!out) return 2;
    try {
        for (int i = 0; i < count; ++i) {
            const PROCESS_MEMORY_COUNTERS_EX before = Memory();
            const double start = Seconds();
            insert(log);
            const double ms = (Seconds() - start) * 1000;
            std::fprintf(out, "%s.ms %.4f\n", label.c_str(), ms);
            if (i == 0) {
                const PROCESS_MEMORY_COUNTERS_EX after = Memory();
                std::fprintf(out, "%s.peak_ws %lld\n%s.peak_pf %lld\n", label.c_str(),
                             static_cast<long long>(after.PeakWorkingSetSize) - static_cast<long long>(before.WorkingSetSize),
                             label.c_str(),
                             static_cast<long long>(after.PeakPagefileUsage) - static_cast<long long>(before.PagefileUsage));
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", label.c_str(), e.what());
        std::fclose(out);
        return 1;
    }
    std::fclose(out);
    return 0;
}

} // namespace bench
