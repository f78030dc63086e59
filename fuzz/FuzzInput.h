// Helpers shared by the fuzz targets.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace zentrok::fuzz {

inline std::string Text(const std::uint8_t* data, std::size_t size) { return {reinterpret_cast<const char*>(data), size}; }

// A broken invariant is a finding: abort so the fuzzer keeps the input.
inline void Require(bool holds)
{
    if (!holds) std::abort();
}

} // namespace zentrok::fuzz
