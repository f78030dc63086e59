// The system services on Windows: clock, names, upper-casing, the program's path.
#pragma once
#include <string>

#include "System.h"

namespace zentrok {

class WinSystemServices : public SystemServices {
public:
    ClockReading LocalTime() override;
    std::optional<std::string> UserName() override;
    std::optional<std::string> ComputerName() override;
    std::string UpperCase(std::string text) override;
};

// Full path of the running program file.
std::string ExeFileName();

} // namespace zentrok
