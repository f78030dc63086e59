// The settings on arbitrary values: loading never fails, saving and loading again
// gives the same members.
#include <cstdint>

#include "FuzzInput.h"
#include "Settings.h"
#include "../tests/unit/Fakes.h"

using namespace zentrok;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const char* const keys[] = {"Basic/Version", "Place/Directory", "Name/NameKind", "Name/NameDate",
                                       "Name/NameString", "Log/LogOnOff", "Log/UserName", "Log/Date",
                                       "Log/MachineName", "Log/Separator"};
    // Values separated by NUL bytes, one per key in turn; missing ones stay absent.
    test::FakeProfile profile;
    const std::string text = fuzz::Text(data, size);
    std::size_t start = 0;
    for (const char* key : keys) {
        if (start > text.size()) break;
        std::size_t end = text.find('\0', start);
        if (end == std::string::npos) end = text.size();
        profile.values[key] = text.substr(start, end - start);
        start = end + 1;
    }
    SessionSettings first;
    LoadSettings(first, profile, "C:\\App\\");
    test::FakeProfile saved;
    SaveSettings(first, saved);
    SessionSettings second;
    LoadSettings(second, saved, "C:\\App\\");
    fuzz::Require(second.Version == first.Version && second.Directory == first.Directory &&
                  second.NameKind == first.NameKind && second.NameDate == first.NameDate &&
                  second.NameString == first.NameString && second.LogOnOff == first.LogOnOff &&
                  second.LogUserName == first.LogUserName && second.LogDate == first.LogDate &&
                  second.LogMachineName == first.LogMachineName && second.Separator == first.Separator);
    return 0;
}
