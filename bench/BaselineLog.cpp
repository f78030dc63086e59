// The baseline of a log insertion: the same file operations as the program's,
// with plain Win32 calls and no line processing.
//   baseline_log <log> <count> <label> <results>          lock, read, write a temporary file, flush, replace
//   baseline_log <log> <count> <label> <results> plain    read and write back in place, nothing more
#include <windows.h>

#include <stdexcept>
#include <string>

#include "Handles.h"
#include "Insertions.h"

using zentrok::FileHandle;

namespace {
std::string FullPath(const std::string& path)
{
    char buf[MAX_PATH * 4];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
    return std::string(buf, n);
}

void Check(bool ok, const char* what)
{
    if (!ok) throw std::runtime_error(std::string(what) + " failed: " + std::to_string(GetLastError()));
}

std::string ReadWhole(const std::string& path)
{
    FileHandle in(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    Check(static_cast<bool>(in), "open");
    LARGE_INTEGER size;
    Check(GetFileSizeEx(in.Get(), &size), "size");
    std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    Check(ReadFile(in.Get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr) && got == text.size(), "read");
    return text;
}

void WriteWhole(const std::string& path, const std::string& text, bool flush)
{
    FileHandle out(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    Check(static_cast<bool>(out), "create");
    DWORD written = 0;
    Check(WriteFile(out.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size(), "write");
    if (flush) Check(FlushFileBuffers(out.Get()), "flush");
    Check(out.Close(), "close");
}

void SafeRewrite(const std::string& path)
{
    const std::string log = FullPath(path);
    FileHandle lock(CreateFileA((log + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    Check(static_cast<bool>(lock), "lock");
    const std::string temp = log + ".tmp";
    WriteWhole(temp, ReadWhole(log), true);
    Check(ReplaceFileA(log.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr), "replace");
}

void PlainRewrite(const std::string& path) { WriteWhole(path, ReadWhole(path), false); }
} // namespace

int main(int argc, char** argv)
{
    const bool plain = argc > 5 && std::string(argv[5]) == "plain";
    return bench::InsertionMain(argc, argv, plain ? PlainRewrite : SafeRewrite);
}
