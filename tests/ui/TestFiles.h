// Small files read and written by the tests through the system's own calls.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "Handles.h"

namespace ui {
// The first 4 KiB of a file, enough for a test's log; nothing when it can't be opened.
inline std::optional<std::string> ReadHead(const std::string& path)
{
    const zentrok::FileHandle file(
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string text(4096, '\0');
    DWORD got = 0;
    ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    text.resize(got);
    return text;
}

inline void WriteWhole(const std::string& path, const std::string& content, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    const zentrok::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}
} // namespace ui
