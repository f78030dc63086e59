#include "LogHead.h"

#include "Handles.h"

namespace zentrok {

std::string ReadFileHead(const std::string& path, std::size_t bytes)
{
    // Writers replace the log in one step: whatever is open here is a whole log.
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string head(bytes, '\0');
    DWORD got = 0;
    if (!ReadFile(file.Get(), head.data(), static_cast<DWORD>(bytes), &got, nullptr)) return {};
    head.resize(got);
    return head;
}

} // namespace zentrok
