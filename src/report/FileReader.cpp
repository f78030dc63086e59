#include "FileReader.h"

#include "Inputs.h"
#include "LineReader.h"
#include "WinCodec.h"
#include "WinLogFile.h"

namespace zentrok::report {

FileReader::FileReader(std::vector<std::string> paths) : paths_(std::move(paths)), thread_([this] { Run(); }) {}

FileReader::~FileReader()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void FileReader::Run()
{
    WinFileOps files;
    WinCodec codec;
    File file;
    for (const std::string& path : paths_) {
        std::exception_ptr failed;
        try {
            file.path = path;
            file.read = files.Read(ToAnsi(path), file.text) == error::None;
            if (file.read) file.text = FileTextToUtf8(std::move(file.text), codec);
        } catch (...) {
            failed = std::current_exception();  // out of memory: the parsing side raises it
        }
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !full_ || stop_; });
        if (stop_) return;
        std::swap(ready_, file);
        failed_ = failed;
        full_ = true;
        changed_.notify_all();
        if (failed) return;
    }
}

bool FileReader::Next(File& file)
{
    if (handed_ == paths_.size()) return false;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return full_; });
    if (failed_) std::rethrow_exception(failed_);
    std::swap(ready_, file);
    full_ = false;
    ++handed_;
    changed_.notify_all();
    return true;
}

} // namespace zentrok::report
