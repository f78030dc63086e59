#include "WinLogFile.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "Handles.h"

namespace zentrok {

namespace {
constexpr DWORD Chunk = 1u << 24;
constexpr std::size_t ReadHeadroom = 4096;

std::string FullPath(const std::string& path)
{
    char buf[MAX_PATH * 4];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : path;
}

bool WriteWhole(HANDLE h, const std::string& content)
{
    for (std::size_t done = 0; done < content.size();) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(Chunk, content.size() - done));
        DWORD written = 0;
        if (!WriteFile(h, content.data() + done, ask, &written, nullptr) || written != ask) return false;
        done += written;
    }
    return FlushFileBuffers(h) != 0;
}
} // namespace

namespace {
// Together well inside the 5 s Windows gives a program to answer the session end.
constexpr DWORD LockWaitMs = 1500;
constexpr DWORD ReplaceWaitMs = 500;

bool Busy(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION; }

// A pause between retries that differs between processes, so that many writers spread out.
void PauseBeforeRetry(DWORD attempt) { Sleep(5 + (GetCurrentProcessId() + attempt * 7) % 11); }

// Replaces the log with temp, or moves temp there when there is no log yet.
bool ReplaceOnce(const std::string& log, const std::string& temp)
{
    if (GetFileAttributesA(log.c_str()) == INVALID_FILE_ATTRIBUTES)
        return MoveFileExA(temp.c_str(), log.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    // Nobody may have the log open while it is replaced.
    FileHandle probe(CreateFileA(log.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!probe) return false;
    if (!probe.Close()) return false;
    return ReplaceFileA(log.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
}

class LockFile : public LogFileAccess::Lock {
public:
    explicit LockFile(HANDLE h) : file_(h) {}

private:
    FileHandle file_;
};
} // namespace

std::unique_ptr<LogFileAccess::Lock> WinLogFile::LockLog(const std::string& path)
{
    const std::string name = FullPath(path) + ".lock";
    const DWORD start = GetTickCount();
    for (DWORD attempt = 0;; ++attempt) {
        const HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) return std::make_unique<LockFile>(h);
        // Only another writer's lock is worth waiting for; a missing folder is not.
        if (!Busy(GetLastError()) || GetTickCount() - start >= LockWaitMs) return nullptr;
        PauseBeforeRetry(attempt);
    }
}

LogFileAccess::Kind WinLogFile::Examine(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Kind::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Kind::Folder;
    if (attributes & FILE_ATTRIBUTE_READONLY) return Kind::ReadOnlyFile;
    return Kind::File;
}

bool WinLogFile::ReadAll(const std::string& path, std::string& content)
{
    // Others may read meanwhile, but not write.
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.Get(), &size)) return false;
    // Room for the line that goes on top, so that the text can take it where it is.
    content.reserve(static_cast<std::size_t>(size.QuadPart) + ReadHeadroom);
    content.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < content.size()) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(Chunk, content.size() - done));
        DWORD got = 0;
        if (!ReadFile(file.Get(), content.data() + done, ask, &got, nullptr)) return false;
        if (got == 0) break;
        done += got;
    }
    content.resize(done);
    return true;
}

LogFileAccess::WriteResult WinLogFile::ReplaceAll(const std::string& path, const std::string& content)
{
    const std::string log = FullPath(path);
    const std::string temp = log + "." + std::to_string(GetCurrentProcessId()) + ".tmp";

    FileHandle out(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return WriteResult::CantCreate;
    const bool written = WriteWhole(out.Get(), content);
    if (!out.Close() || !written) {
        DeleteFileA(temp.c_str());
        return WriteResult::ShortWrite;
    }

    // A reader that has the log open for a moment (the user's editor, a backup)
    // delays the replacement; one that keeps it open makes it fail.
    bool replaced = false;
    const DWORD start = GetTickCount();
    for (DWORD attempt = 0; !replaced; ++attempt) {
        replaced = ReplaceOnce(log, temp);
        if (replaced || !Busy(GetLastError()) || GetTickCount() - start >= ReplaceWaitMs) break;
        PauseBeforeRetry(attempt);
    }
    if (!replaced) {
        DeleteFileA(temp.c_str());
        return WriteResult::CantCreate;
    }
    return WriteResult::Written;
}

} // namespace zentrok
