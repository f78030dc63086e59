#include "FirstAddress.h"

#include <algorithm>

namespace zentrok {

std::optional<std::size_t> ConnectFirst(Attempts& attempts, std::size_t count, std::uint32_t ms)
{
    const std::uint32_t start = attempts.Milliseconds();
    std::size_t next = 0, pending = 0;
    std::uint32_t nextAt = 0;  // when the next address is started although the others still may answer
    for (;;) {
        const std::uint32_t elapsed = attempts.Milliseconds() - start;
        if (elapsed >= ms) return std::nullopt;
        // An address that failed at once leaves no one to wait for: the next goes at once.
        if (next < count && (pending == 0 || elapsed >= nextAt)) {
            if (attempts.Start(next++)) ++pending;
            nextAt = elapsed + NextAddressMs;
            continue;
        }
        if (pending == 0) return std::nullopt;
        const std::uint32_t until = next < count ? std::min(nextAt, ms) : ms;
        if (const std::optional<Attempts::Ended> ended = attempts.Wait(until - elapsed)) {
            if (ended->connected) return ended->address;
            --pending;
        }
    }
}

} // namespace zentrok
