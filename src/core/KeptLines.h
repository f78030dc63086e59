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
    std::size_t lines = 0;  // those that can be delivered
    std::uint64_t dropped = 0;
    std::size_t unreadable = 0;  // damaged lines, never delivered: counted apart and not retried
    std::size_t delivered = 0;   // gone out but still in the file: taken out at the next try

    // Nothing to deliver and nothing to take out: a new line may go straight out.
    bool Settled() const { return lines == 0 && delivered == 0; }
};

// The file: "#dropped N" first while lines were let go, then one line each, CR LF.
std::string KeptText(const Kept& kept);
Kept ParseKept(std::string_view text);

class KeptLines {
public:
    static constexpr std::size_t Most = 10000;
    using Readable = std::function<bool(std::string_view line)>;

    // readable: whether a line can be delivered at all (by default every one can).
    KeptLines(DiskLogFile& files, std::string path, Readable readable = nullptr)
        : files_(files), path_(std::move(path)), readable_(std::move(readable))
    {
    }
    const std::string& Path() const { return path_; }

    // What is kept, read without the lock, with what this program holds in memory;
    // nothing when the file can't be read.
    std::optional<KeptCount> Peek();
    // Under the lock, change takes lines out of what is kept (delivers them) and adds new
    // ones at the end; then the newest Most stay. Nothing when the file couldn't be locked
    // or read, or couldn't be replaced before change ran: change then didn't run. When
    // only the file's update after change failed, the program holds the difference in
    // memory and puts it into the file with the next update: what went out is not
    // delivered again, what came in is not lost while the program runs.
    std::optional<KeptCount> Update(const std::function<void(Kept&)>& change);
    // Lines that couldn't be put into the file, held in memory after the others until
    // an update can.
    void Hold(const std::vector<std::string>& lines);

private:
    KeptCount CountOf(const Kept& kept) const;
    // The file's lines as they should be: without what was delivered, with what is held.
    Kept Current(Kept onDisk) const;
    void Remember(const std::vector<std::string>& onDisk, const std::vector<std::string>& current);

    DiskLogFile& files_;
    std::string path_;
    Readable readable_;
    std::vector<std::string> delivered_;  // taken out by a change, still in the file
    std::vector<std::string> held_;       // not yet in the file, oldest first
};

} // namespace zentrok
