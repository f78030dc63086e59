// The console entry: the command line as UTF-8, and the one place errors are shown.
#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "Program.h"
#include "ReportError.h"
#include "WinCodec.h"

using namespace zentrok::report;

namespace {
struct FreeLocal {
    void operator()(wchar_t** p) const { LocalFree(p); }
};

std::vector<std::string> Arguments()
{
    int count = 0;
    const std::unique_ptr<wchar_t*, FreeLocal> argv(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    for (int i = 1; argv && i < count; ++i) arguments.push_back(Narrow(argv.get()[i], CP_UTF8));
    return arguments;
}

// On the error stream; started from Explorer, whose console window closes with us, also in a box.
int Show(Console& console, const char* message, int code)
{
    console.Error(std::string(u8"ZentrokReport: ") + message + "\n");
    if (console.OwnWindow())
        MessageBoxW(nullptr, Widen(message, CP_UTF8).c_str(), L"ZentrokReport", MB_OK | MB_ICONERROR);
    return code;
}
} // namespace

int main()
{
    Console console;
    try {
        return RunReport(Arguments(), console);
    } catch (const ReportError& e) {
        return Show(console, e.what(), e.Code());
    } catch (const std::exception& e) {
        return Show(console, e.what(), NothingFound);
    }
}
