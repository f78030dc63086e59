#include "Inputs.h"

#include <windows.h>

#include <algorithm>

#include "Handles.h"
#include "WinCodec.h"

namespace zentrok::report {

std::string ToAnsi(const std::string& utf8) { return Narrow(Widen(utf8, CP_UTF8), CP_ACP); }
std::string FromAnsi(const std::string& ansi) { return Narrow(Widen(ansi, CP_ACP), CP_UTF8); }

namespace {
// The regular files that match pattern, by name; folder is put before each name.
std::vector<std::string> Matches(const std::wstring& pattern, const std::wstring& folder)
{
    std::vector<std::string> found;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(pattern.c_str(), &data));
    if (!find) return found;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        found.push_back(Narrow(folder + data.cFileName, CP_UTF8));
    } while (FindNextFileW(find.Get(), &data));
    std::sort(found.begin(), found.end());
    return found;
}

std::wstring FolderOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}
} // namespace

InputFiles FindInputs(const std::vector<std::string>& arguments)
{
    InputFiles inputs;
    for (const std::string& argument : arguments) {
        std::wstring path = Widen(argument, CP_UTF8);
        std::vector<std::string> found;
        if (path.find_first_of(L"*?") != std::wstring::npos) {
            found = Matches(path, FolderOf(path));
        } else if (const DWORD a = GetFileAttributesW(path.c_str()); a == INVALID_FILE_ATTRIBUTES) {
        } else if (a & FILE_ATTRIBUTE_DIRECTORY) {
            if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
            found = Matches(path + L"*", path);
        } else {
            found.push_back(argument);
        }
        if (found.empty()) inputs.missing.push_back(argument);
        for (std::string& f : found)
            if (std::find(inputs.files.begin(), inputs.files.end(), f) == inputs.files.end())
                inputs.files.push_back(std::move(f));
    }
    return inputs;
}

} // namespace zentrok::report
