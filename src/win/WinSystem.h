// The system services on Windows: clock, names, upper-casing, the program's path.
#pragma once
#include <string>

#include "StatusText.h"
#include "System.h"

namespace zentrok {

class WinSystemServices : public SystemServices {
public:
    ClockReading LocalTime() override;
    std::optional<std::string> UserName() override;
    std::optional<std::string> ComputerName() override;
    std::string UpperCase(std::string text) override;
};

// The user's long time format from the locale.
TimeFormat ReadTimeFormat();

// Size of the file at path, or nothing when there is none.
std::optional<std::uint64_t> FileSize(const std::string& path);

// Full path of the running program file.
std::string ExeFileName();

} // namespace zentrok
