#pragma once

#include <chrono>

// Timing in rotation: each variant draws a block of frames in turn, round after round, and
// the medians of its blocks are compared.
namespace bench {

constexpr int kRounds = 30;
constexpr int kBlock = 16;

// Microseconds each of kBlock runs of `work` took, on average.
template <typename Work>
double microsEach(Work work) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kBlock; ++i) work();
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    return took.count() / kBlock;
}

}  // namespace bench
