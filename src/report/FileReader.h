// The logs read one file ahead of the parsing, on a thread of its own: reading and parsing
// take about as long, and a machine has more than one processor.
#pragma once
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zentrok::report {

class FileReader {
public:
    explicit FileReader(std::vector<std::string> paths);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    struct File {
        std::string path;
        bool read = false;  // false: it could not be read
        std::string text;   // UTF-8, as FileTextToUtf8 makes it
    };
    // The next file in the order given; false after the last. The text's buffer is taken
    // back for a later file, so that the heap need not give fresh pages for each one.
    bool Next(File& file);

private:
    void Run();

    const std::vector<std::string> paths_;
    std::mutex mutex_;
    std::condition_variable changed_;
    File ready_;
    std::exception_ptr failed_;
    bool full_ = false, stop_ = false;
    std::size_t handed_ = 0;
    std::thread thread_;  // last: it starts once the rest is there
};

} // namespace zentrok::report
