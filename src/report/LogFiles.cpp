#include "LogFiles.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <thread>

#include "Inputs.h"
#include "WinCodec.h"
#include "WinLogFile.h"

namespace zentrok::report {

namespace {
struct Lane {
    LogData data;
    std::vector<std::string> unreadable;
    std::size_t read = 0;
};

struct Counts {
    std::atomic<std::size_t> files{0}, lines{0};
};

// Room for every record at once (a record's line holds at least 27 bytes): grown step by step,
// the records would be copied again and again into fresh memory, while room never written takes
// none. Capped for the 32-bit program's address space.
void MakeRoom(LogData& data, std::uint64_t bytes)
{
    constexpr std::uint64_t most = PTRDIFF_MAX / 4 / sizeof(Record);
    data.records.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(bytes / 27, most)));
}

void ReadLane(const std::vector<std::string>& paths, std::size_t from, std::size_t to,
              const std::vector<std::string>& separators, Lane& lane, Counts& counts, const std::function<void()>& done)
{
    WinFileOps files;
    WinCodec codec;
    // One buffer for every file: the heap under Wine gives a freed large block's pages back, and
    // a new one for each file would meet them afresh.
    std::string bytes;
    for (std::size_t i = from; i < to; ++i) {
        if (files.Read(ToAnsi(paths[i]), bytes) != error::None) {
            lane.unreadable.push_back(paths[i]);
            continue;
        }
        bytes = FileTextToUtf8(std::move(bytes), codec);
        const std::size_t before = lane.data.lines;
        AddLogText(bytes, separators, lane.data);
        ++lane.read;
        ++counts.files;
        counts.lines += lane.data.lines - before;
        if (done) done();
    }
}
} // namespace

LogsRead ReadLogFiles(const std::vector<std::string>& paths, std::uint64_t listedBytes,
                      const std::vector<std::string>& separators,
                      const std::function<void(std::size_t files, std::size_t lines)>& progress)
{
    const std::size_t half = (paths.size() + 1) / 2;
    Counts counts;
    Lane first, second;
    MakeRoom(first.data, listedBytes);  // it takes the second's records after
    if (!paths.empty()) MakeRoom(second.data, listedBytes / paths.size() * (paths.size() - half));
    std::exception_ptr failed;
    {
        std::thread other([&] {
            try {
                ReadLane(paths, half, paths.size(), separators, second, counts, nullptr);
            } catch (...) {
                failed = std::current_exception();  // out of memory: raised here after
            }
        });
        struct Join {
            std::thread& thread;
            ~Join() { thread.join(); }
        } join{other};
        ReadLane(paths, 0, half, separators, first, counts, [&] { progress(counts.files, counts.lines); });
    }
    if (failed) std::rethrow_exception(failed);
    AppendLogData(first.data, second.data);
    LogsRead logs;
    logs.data = std::move(first.data);
    logs.unreadable = std::move(first.unreadable);
    logs.unreadable.insert(logs.unreadable.end(), second.unreadable.begin(), second.unreadable.end());
    logs.read = first.read + second.read;
    return logs;
}

} // namespace zentrok::report
