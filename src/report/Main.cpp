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
} // namespace

int main()
{
    Console console;
    try {
        return RunReport(Arguments(), console);
    } catch (const ReportError& e) {
        console.Error(std::string(u8"ZentrokReport: ") + e.what() + "\n");
        return e.Code();
    } catch (const std::exception& e) {
        console.Error(std::string(u8"ZentrokReport: ") + e.what() + "\n");
        return NothingFound;
    }
}
