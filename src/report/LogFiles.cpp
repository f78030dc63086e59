#include "LogFiles.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <new>
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

// Room for the records a text of bytes can add (a record's line holds at least 27 bytes), taken
// twice over where the memory allows: grown one by one, the records would be copied again and
// again into fresh memory, while room never written takes none.
void MakeRoom(std::vector<Record>& records, std::size_t bytes)
{
    const std::size_t need = records.size() + bytes / 27;
    if (need <= records.capacity()) return;
    try {
        records.reserve(std::max(need, 2 * records.capacity()));
    } catch (const std::bad_alloc&) {
        records.reserve(need);  // near the end of the 32-bit program's address space
    }
}

// Whether a file might be held at all: its text alone takes as many bytes of the memory left.
// (Where its size can't be had, reading it says why.)
bool MightFit(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA file;
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    if (!GetFileAttributesExW(Widen(path, CP_UTF8).c_str(), GetFileExInfoStandard, &file) ||
        !GlobalMemoryStatusEx(&memory))
        return true;
    const std::uint64_t size = static_cast<std::uint64_t>(file.nFileSizeHigh) << 32 | file.nFileSizeLow;
    return size < std::min(memory.ullAvailPageFile, memory.ullAvailVirtual);
}

// One file's records added to data; false, with data as it was, when the file can't be read or
// held (a backup of gigabytes beside the logs): the other files still make the report.
bool AddFile(const std::string& path, const std::vector<std::string>& separators, WinFileOps& files, Codec& codec,
             std::string& bytes, LogData& data)
{
    if (!MightFit(path)) return false;
    const std::size_t records = data.records.size(), lines = data.lines, skipped = data.skipped;
    try {
        if (files.Read(ToAnsi(path), bytes) != error::None) return false;
        bytes = FileTextToUtf8(std::move(bytes), codec);
        MakeRoom(data.records, bytes.size());
        AddLogText(bytes, separators, data);
        return true;
    } catch (const std::bad_alloc&) {
        bytes = std::string();
        data.records.resize(records);
        data.lines = lines;
        data.skipped = skipped;
        return false;
    }
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
        const std::size_t before = lane.data.lines;
        if (!AddFile(paths[i], separators, files, codec, bytes, lane.data)) {
            lane.unreadable.push_back(paths[i]);
            continue;
        }
        ++lane.read;
        ++counts.files;
        counts.lines += lane.data.lines - before;
        if (done) done();
    }
}
} // namespace

LogsRead ReadLogFiles(const std::vector<std::string>& paths, const std::vector<std::string>& separators,
                      const std::function<void(std::size_t files, std::size_t lines)>& progress)
{
    const std::size_t half = (paths.size() + 1) / 2;
    Counts counts;
    Lane first, second;
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
