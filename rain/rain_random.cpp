#include "rain/rain_random.h"

namespace RainRandom {

namespace {
std::uint32_t g_state = 1;
}

void seed(std::uint32_t value) { g_state = value; }

std::int32_t next() {
    g_state = g_state * 214013u + 2531011u;
    return static_cast<std::int32_t>((g_state >> 16) & 0x7FFFu);
}

}  // namespace RainRandom
