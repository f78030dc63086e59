#include "WinLogFile.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "Handles.h"

namespace zentrok {

namespace {
constexpr DWORD Chunk = 1u << 24;
constexpr std::size_t ReadHeadroom = 4096;  // room for the line that goes on top
// Hidden and system: a mark every file system keeps (Wine too), and one a file of the
// user's own with a helper's name hardly has.
constexpr DWORD HelperMark = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::wstring Wide(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string Narrow(const std::wstring& wide)
{
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

// The path for the wide calls: as it is while it fits MAX_PATH, else in the long form.
std::wstring CallPath(const std::string& path)
{
    const std::wstring wide = Wide(path);
    if (wide.size() < MAX_PATH || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
    std::wstring full(wide.size() + MAX_PATH, L'\0');
    const DWORD n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) return wide;
    full.resize(n);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

error::Code LastError() { return GetLastError(); }

// Each piece written whole, in calls whose counts a DWORD holds.
class FileSink : public ContentSink {
public:
    explicit FileSink(HANDLE h) : h_(h) {}
    bool Put(std::string_view piece) override
    {
        for (std::size_t done = 0; done < piece.size();) {
            const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(Chunk, piece.size() - done));
            DWORD written = 0;
            if (!WriteFile(h_, piece.data() + done, ask, &written, nullptr) || written != ask) return false;
            done += written;
        }
        return true;
    }

private:
    HANDLE h_;
};

bool WriteWhole(HANDLE h, const Content& content)
{
    FileSink sink(h);
    return content.WriteTo(sink);
}

// A helper file that became the log loses the helper's marks.
void Unmark(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & HelperMark) == HelperMark)
        SetFileAttributesW(path.c_str(), attributes & ~HelperMark);
}

class LockFile : public LogFileAccess::Lock {
public:
    explicit LockFile(FileHandle file) : file_(std::move(file)) {}

private:
    FileHandle file_;
};
} // namespace

std::uint32_t WinFileOps::ProcessId() { return GetCurrentProcessId(); }
std::uint32_t WinFileOps::Milliseconds() { return GetTickCount(); }
void WinFileOps::Pause(std::uint32_t ms) { Sleep(ms); }

std::string WinFileOps::FullPath(const std::string& path)
{
    char buf[MAX_PATH * 4];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : path;
}

error::Code WinFileOps::Lock(const std::string& name, std::unique_ptr<LogFileAccess::Lock>& lock)
{
    const std::wstring path = CallPath(name);
    FileHandle created(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (created) {
        lock = std::make_unique<LockFile>(std::move(created));
        return error::None;
    }
    const error::Code code = LastError();
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) return code;
    // Another writer's lock (sharing violation), or a file of that name nobody holds.
    FileHandle existing(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!existing) {
        const error::Code again = LastError();
        return again == ERROR_FILE_NOT_FOUND ? ERROR_SHARING_VIOLATION : again;  // released meanwhile: try again
    }
    lock = std::make_unique<LockFile>(std::move(existing));
    return error::None;
}

error::Code WinFileOps::LockLogItself(const std::string& log, std::unique_ptr<LogFileAccess::Lock>& lock)
{
    FileHandle file(CreateFileW(CallPath(log).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return LastError();
    OVERLAPPED at{};
    at.Offset = 0xFFFFFFFEu;
    at.OffsetHigh = 0x7FFFFFFFu;
    if (!LockFileEx(file.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) return LastError();
    lock = std::make_unique<LockFile>(std::move(file));  // closing the handle releases the range
    return error::None;
}

error::Code WinFileOps::Info(const std::string& path, FileInfo& info)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(CallPath(path).c_str(), GetFileExInfoStandard, &data)) return LastError();
    const DWORD attributes = data.dwFileAttributes;
    info.written = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    info.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    info.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    info.helper = (attributes & HelperMark) == HelperMark;
    return error::None;
}

error::Code WinFileOps::Read(const std::string& path, std::string& content)
{
    // Others may read meanwhile, but not write.
    FileHandle file(CreateFileW(CallPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.Get(), &size)) return LastError();
    // A log the address space can't hold is left alone rather than read in part.
    if (!FitsInMemory(static_cast<std::uint64_t>(size.QuadPart), ReadHeadroom, content.max_size()))
        return ERROR_FILE_TOO_LARGE;
    // Room for the line that goes on top, so that the text can take it where it is.
    content.reserve(static_cast<std::size_t>(size.QuadPart) + ReadHeadroom);
    content.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < content.size()) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(Chunk, content.size() - done));
        DWORD got = 0;
        if (!ReadFile(file.Get(), content.data() + done, ask, &got, nullptr)) return LastError();
        if (got == 0) break;
        done += got;
    }
    content.resize(done);
    return error::None;
}

error::Code WinFileOps::CreateHelper(const std::string& path, const Content& content)
{
    const std::wstring name = CallPath(path);
    FileHandle out(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, HelperMark, nullptr));
    if (!out) return LastError();
    const bool written = WriteWhole(out.Get(), content) && FlushFileBuffers(out.Get());
    if (!out.Close() || !written) {
        DeleteFileW(name.c_str());
        return error::WriteCut;
    }
    return error::None;
}

error::Code WinFileOps::Probe(const std::string& path)
{
    FileHandle probe(CreateFileW(CallPath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!probe) return LastError();
    return probe.Close() ? error::None : LastError();
}

error::Code WinFileOps::Replace(const std::string& log, const std::string& temp, const std::string& backup)
{
    const std::wstring target = CallPath(log);
    if (!ReplaceFileW(target.c_str(), CallPath(temp).c_str(), CallPath(backup).c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                      nullptr, nullptr))
        return LastError();
    Unmark(target);
    return error::None;
}

error::Code WinFileOps::Move(const std::string& from, const std::string& to)
{
    const std::wstring target = CallPath(to);
    if (!MoveFileExW(CallPath(from).c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return LastError();
    Unmark(target);
    return error::None;
}

error::Code WinFileOps::Delete(const std::string& path)
{
    return DeleteFileW(CallPath(path).c_str()) ? error::None : LastError();
}

error::Code WinFileOps::Rewrite(const std::string& path, const Content& content)
{
    // Readers may look on (this process's own lock may hold the log open); no other writer.
    FileHandle out(CreateFileW(CallPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return LastError();
    const bool written = WriteWhole(out.Get(), content) && SetEndOfFile(out.Get()) && FlushFileBuffers(out.Get());
    return out.Close() && written ? error::None : error::WriteCut;
}

std::vector<std::string> WinFileOps::Find(const std::string& pattern)
{
    std::vector<std::string> names;
    const std::wstring wide = Wide(pattern);
    const std::wstring folder = wide.substr(0, wide.rfind(L'\\') + 1);
    WIN32_FIND_DATAW found;
    const FindHandle find(FindFirstFileW(CallPath(pattern).c_str(), &found));
    if (!find) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Narrow(folder + found.cFileName));
    } while (FindNextFileW(find.Get(), &found));
    return names;
}

} // namespace zentrok
