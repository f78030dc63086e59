#include "Holdings.h"

#include <winternl.h>
// after windows.h, which they need
#include <psapi.h>

#include <cstring>
#include <vector>

#include "Driver.h"

namespace e2e {

namespace {
// An entry of Wine's GDI handle table, which PEB.GdiSharedHandleTable points to
// (one table per process there); a free entry has type 0.
struct GdiEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;  // bit 7: a stock object
    std::uint8_t type, flags;
    std::uint64_t user;
};
static_assert(sizeof(GdiEntry) == 24, "the 64-bit table's entry");
constexpr std::size_t GdiEntries = 0x10000;
constexpr std::size_t PebGdiTable = 0xF8;  // PEB.GdiSharedHandleTable, 64-bit

constexpr std::uint8_t WindowDc = 0x01;  // NTGDI_OBJ_DC

// The GDI objects in the process's table, and the window DCs among them.
int CountGdiTable(HANDLE process, int& windowDcs)
{
    using Query = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    void* table = nullptr;
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        !ReadProcessMemory(process, static_cast<char*>(static_cast<void*>(basic.PebBaseAddress)) + PebGdiTable, &table,
                           sizeof table, nullptr) ||
        !table)
        return -1;
    std::vector<GdiEntry> entries(GdiEntries);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiEntry), nullptr)) return -1;
    int n = 0;
    for (const GdiEntry& e : entries)
        if (e.type && !(e.unique & 0x80)) {
            ++n;
            windowDcs += e.type == WindowDc;
        }
    return n;
}

// A handle value exists in the process when it can be duplicated from there.
int CountHandles(HANDLE process)
{
    int n = 0;
    for (ULONG_PTR value = 4; value < 4 * 8192; value += 4) {
        HANDLE copy = nullptr;
        if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0, FALSE,
                            DUPLICATE_SAME_ACCESS)) {
            CloseHandle(copy);
            ++n;
        } else if (GetLastError() != ERROR_INVALID_HANDLE) {
            ++n;  // there, but not to be copied
        }
    }
    return n;
}

int CountWindows(DWORD pid)
{
    struct Count {
        DWORD pid;
        int n;
    } count{pid, 0};
    EnumWindows(
        [](HWND w, LPARAM lp) {
            auto* c = reinterpret_cast<Count*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == c->pid) {
                ++c->n;
                EnumChildWindows(w, [](HWND, LPARAM l) { return ++*reinterpret_cast<int*>(l), TRUE; },
                                 reinterpret_cast<LPARAM>(&c->n));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.n;
}
} // namespace

Holdings Holdings::Of(HANDLE process, const std::string& exe)
{
    Holdings h;
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    h.gdi = gdi ? static_cast<int>(gdi) : CountGdiTable(process, h.windowDcs);
    DWORD handles = 0;
    h.handles = GetProcessHandleCount(process, &handles) && handles ? static_cast<int>(handles) : CountHandles(process);
    h.windows = CountWindows(GetProcessId(process));
    PROCESS_MEMORY_COUNTERS_EX counters{};
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    h.privateBytes = static_cast<std::int64_t>(counters.PrivateUsage ? counters.PrivateUsage : WinePrivateBytes(exe));
    return h;
}

void PrintTo(const Holdings& h, std::ostream* os)
{
    *os << "gdi " << h.gdi << " (window DCs " << h.windowDcs << "), handles " << h.handles << ", windows " << h.windows << ", private "
        << h.privateBytes / 1024 << " KiB";
}

std::uint64_t WinePrivateBytes(const std::string& exe)
{
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH];
    if (!unixName || !MultiByteToWideChar(CP_ACP, 0, exe.c_str(), -1, wide, MAX_PATH)) return 0;
    char* name = unixName(wide);
    if (!name) return 0;
    std::string file = name;
    HeapFree(GetProcessHeap(), 0, name);
    // /proc shows the real path, without the prefix's drive link.
    const std::size_t drive = file.find("/dosdevices/c:");
    if (drive != std::string::npos) file.replace(drive, 14, "/drive_c");
    for (const std::string& pid : FileNames("Z:\\proc")) {
        const std::string folder = "Z:\\proc\\" + pid + "\\";
        if (pid.find_first_not_of("0123456789") != std::string::npos || ReadBytes(folder + "maps").find(file) == std::string::npos)
            continue;
        const std::string status = ReadBytes(folder + "status");
        std::uint64_t kb = 0;
        for (const char* key : {"RssAnon:", "VmSwap:"}) {
            const std::size_t at = status.find(key);
            if (at != std::string::npos) kb += std::strtoull(status.c_str() + at + std::strlen(key), nullptr, 10);
        }
        return kb * 1024;
    }
    return 0;
}

} // namespace e2e
