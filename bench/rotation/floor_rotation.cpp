#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/frame_fixture.h"
#include "bench/frame_floor.h"

// The frame against its own memory floor, in one process and on one pane: each round times a
// block of 16 frames, then replays the last of them (its map, source and destination accesses,
// one tight loop per kind) 16 times. A round's ratio compares a frame with the floor of a frame
// of the same scene, a moment later; the machine's drift over the run moves both alike.
// Arguments: width height density (1920 1080 50 when left out).
namespace {

constexpr int kRounds = 30;
constexpr int kBlock = 16;

template <typename Work>
double microsEach(Work work) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kBlock; ++i) work();
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    return took.count() / kBlock;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const std::int32_t w = argc > 3 ? std::atoi(argv[1]) : 1920;
    const std::int32_t h = argc > 3 ? std::atoi(argv[2]) : 1080;
    const int density = argc > 3 ? std::atoi(argv[3]) : 50;
    if (w < 2 || h < 2 || density < 1) {
        std::fprintf(stderr, "usage: misto-floor-rotation [width height density]\n");
        return 2;
    }
    bench::FrameFixture run(w, h, density);
    std::vector<double> frames, floors, ratios;
    volatile std::uint32_t sink = 0;  // keeps the replayed loads
    for (int round = 0; round < kRounds; ++round) {
        frames.push_back(microsEach([&] { run.frame(); }));
        const bench::FrameAccesses accesses = bench::accessesOfLastFrame(run);
        floors.push_back(microsEach([&] { sink = bench::replayFrame(accesses); }));
        ratios.push_back(frames.back() / floors.back());
    }
    std::printf("%dx%d density %d, %zu drops at the end; medians of %d blocks of %d:\n", w, h,
                density, run.loop.rainField().drops().size(), kRounds, kBlock);
    std::printf("  frame %8.0f us, floor %8.0f us, frame / floor %.2f (rounds %.2f to %.2f)\n",
                median(frames), median(floors), median(ratios),
                *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()));
    return 0;
}
