// The log text update on its own, in bytes of old log per second, beside memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>

#include "LogText.h"
#include "SampleLog.h"

namespace {

// Steady state: the log is full, so one line comes in at the top and the last one goes.
void InsertLogLine(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    const std::string old = bench::SampleLog(lines), line = bench::SampleLine(lines);
    for (auto _ : state) {
        std::string text = zentrok::InsertLogLine(old, line, lines);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * old.size()));
}

// Into a buffer that is already there, the fastest way to move the bytes.
void Memcpy(benchmark::State& state)
{
    const std::string old = bench::SampleLog(static_cast<int>(state.range(0)));
    std::string copy(old.size(), '\0');
    for (auto _ : state) {
        std::memcpy(copy.data(), old.data(), old.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * old.size()));
}

// Into a new buffer each time, as the log text is made.
void MemcpyNew(benchmark::State& state)
{
    const std::string old = bench::SampleLog(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string copy(old.data(), old.size());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * old.size()));
}

} // namespace

BENCHMARK(InsertLogLine)->Arg(1000)->Arg(100000)->Arg(1000000);
BENCHMARK(Memcpy)->Arg(1000)->Arg(100000)->Arg(1000000);
BENCHMARK(MemcpyNew)->Arg(1000)->Arg(100000)->Arg(1000000);
BENCHMARK_MAIN();
