// What the core needs from the operating system: the clock, the user's and the
// computer's names, and locale-aware upper-casing. The program passes the real
// one; tests pass fixed readings.
#pragma once
#include <optional>
#include <string>

namespace zentrok {

struct ClockReading {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, milliseconds = 0;
};

class SystemServices {
public:
    virtual ~SystemServices() = default;
    virtual ClockReading LocalTime() = 0;
    // The name, or nothing when the system can't tell.
    virtual std::optional<std::string> UserName() = 0;
    virtual std::optional<std::string> ComputerName() = 0;
    virtual std::string UpperCase(std::string text) = 0;
};

} // namespace zentrok
