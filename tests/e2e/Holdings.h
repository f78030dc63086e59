// What a running program holds, counted from outside the same way on Windows and
// under Wine, where GetGuiResources, GetProcessHandleCount and the private bytes of
// another process all answer 0.
#pragma once
#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace e2e {

struct Holdings {
    int gdi = 0;      // GDI objects, stock objects aside
    int windowDcs = 0;  // of them, Wine's window DCs (0 where GetGuiResources counts)
    int handles = 0;  // kernel handles
    int windows = 0;  // top-level and child windows
    std::int64_t privateBytes = 0;

    // process needs PROCESS_QUERY_INFORMATION, PROCESS_VM_READ and PROCESS_DUP_HANDLE;
    // exe is the program file the process runs (Wine's memory is found through it).
    static Holdings Of(HANDLE process, const std::string& exe);
};

void PrintTo(const Holdings& h, std::ostream* os);

// Wine counts a process's private bytes as the anonymous resident and swapped memory
// of its Unix process: read that from /proc, finding the process by the program file
// it has mapped. 0 where there is no such process (or no Wine).
std::uint64_t WinePrivateBytes(const std::string& exe);

} // namespace e2e
