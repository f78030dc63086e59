// The floor for the report's bench: only reading every file of a folder, with the same
// file layer the report uses, and nothing done with the bytes but counting them.
#include <windows.h>

#include <cstdio>
#include <string>

#include "Handles.h"
#include "WinLogFile.h"

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const std::string folder = std::string(argv[1]) + "\\";
    zentrok::WinFileOps files;
    WIN32_FIND_DATAA data;
    zentrok::FindHandle find(FindFirstFileA((folder + "*").c_str(), &data));
    unsigned long long bytes = 0, count = 0;
    if (find) {
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            std::string content;
            if (files.Read(folder + data.cFileName, content) != zentrok::error::None) return 1;
            bytes += content.size();
            ++count;
        } while (FindNextFileA(find.Get(), &data));
    }
    std::printf("%llu files, %llu bytes\n", count, bytes);
    return 0;
}
