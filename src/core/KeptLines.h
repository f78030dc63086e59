// Lines kept in a file until they can be delivered: updated whole, under the file's
// lock, as the log is, so that copies of the program sharing the file neither lose
// nor repeat one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DiskLog.h"

namespace zentrok {

struct Kept {
    std::vector<std::string> lines;  // oldest first
    std::uint64_t dropped = 0;       // older lines let go to stay within the bound
};

struct KeptCount {
    std::size_t lines = 0;
    std::uint64_t dropped = 0;
};

// The file: "#dropped N" first while lines were let go, then one line each, CR LF.
std::string KeptText(const Kept& kept);
Kept ParseKept(std::string_view text);

class KeptLines {
public:
    static constexpr std::size_t Most = 10000;

    KeptLines(DiskLogFile& files, std::string path) : files_(files), path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

    // What is kept, read without the lock; nothing when the file can't be read.
    std::optional<KeptCount> Peek();
    // Under the lock, change takes lines out of what is kept and adds new ones at the
    // end; then the newest Most stay. Nothing when the file couldn't be locked, read
    // or written, and then none of the change is on disk.
    std::optional<KeptCount> Update(const std::function<void(Kept&)>& change);

private:
    DiskLogFile& files_;
    std::string path_;
};

} // namespace zentrok
