// Connecting to a name with several addresses (a redundant pair, or an IPv6 and an
// IPv4 address where IPv6 is dropped silently): the next address is tried when the
// ones before haven't answered within NextAddressMs, all within one bound, and the
// first to answer is used, as browsers do.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace zentrok {

inline constexpr std::uint32_t NextAddressMs = 250;

// Connection attempts, one per address, under way at once.
class Attempts {
public:
    struct Ended {
        std::size_t address;
        bool connected;
    };
    virtual ~Attempts() = default;
    virtual std::uint32_t Milliseconds() = 0;  // a clock that only goes forward
    // Starts connecting to the address; false when that failed at once.
    virtual bool Start(std::size_t address) = 0;
    // Waits up to ms for one started attempt to end; nothing when none did.
    virtual std::optional<Ended> Wait(std::uint32_t ms) = 0;
};

// The address of count that connected first within ms; nothing when none did.
std::optional<std::size_t> ConnectFirst(Attempts& attempts, std::size_t count, std::uint32_t ms);

} // namespace zentrok
