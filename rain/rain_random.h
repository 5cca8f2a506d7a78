#pragma once

#include <cstdint>

// A screen's drop generator. It is our own rather than the C library's so that the native and
// the Windows builds make the same rain from the same seed:
// state = state * 214013 + 2531011 (mod 2^32), result (state >> 16) & 0x7FFF.
class RainRandom {
  public:
    explicit RainRandom(std::uint32_t seed = 1) : state_(seed) {}

    void seed(std::uint32_t value) { state_ = value; }

    // 0 ... 32767.
    std::int32_t next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<std::int32_t>((state_ >> 16) & 0x7FFFu);
    }

    // A draw in 0 ... n - 1: (next() * n) >> 15.
    std::int32_t rnd(std::int32_t n) {
        return static_cast<std::int32_t>((static_cast<std::int64_t>(next()) * n) >> 15);
    }

    // True with a chance of `percent` in a hundred: rnd(100) < percent.
    bool chance(std::int32_t percent) { return rnd(100) < percent; }

  private:
    std::uint32_t state_;
};

// Where the generator of screen `screen` (0 the first) starts in a run seeded with `runSeed`.
// The first screen keeps the run's seed, so a lone screen rains as the seed alone says; the
// others start a golden-ratio step apart, far from each other's sequences.
inline std::uint32_t screenSeed(std::uint32_t runSeed, std::uint32_t screen) {
    return runSeed + screen * 0x9E3779B9u;
}
