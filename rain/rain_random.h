#pragma once

#include <cstdint>

// The rain's one process-wide generator. It is our own rather than the C library's so that the
// native and the Windows builds make the same rain from the same seed:
// state = state * 214013 + 2531011 (mod 2^32), result (state >> 16) & 0x7FFF.
namespace RainRandom {

void seed(std::uint32_t value);

// 0 ... 32767.
std::int32_t next();

// A draw in 0 ... n - 1: (next() * n) >> 15.
inline std::int32_t rnd(std::int32_t n) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(next()) * n) >> 15);
}

// True with a chance of `percent` in a hundred: rnd(100) < percent.
inline bool chance(std::int32_t percent) { return rnd(100) < percent; }

}  // namespace RainRandom
