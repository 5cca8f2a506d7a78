#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/frame_fixture.h"
#include "bench/frame_floor.h"
#include "bench/rotation/blocks.h"
#include "foundation/median.h"

// The frame against its own memory floor, in one process and on one pane: each round times a
// block of 16 frames, then replays the last of them (its map, source and destination accesses,
// one tight loop per kind) 16 times. A round's ratio compares a frame with the floor of a frame
// of the same scene, a moment later; the machine's drift over the run moves both alike.
// Arguments: width height density (1920 1080 50 when left out).

int main(int argc, char** argv) {
    bench::SceneArguments scene;
    if (!bench::readSceneArguments(argc, argv, "misto-floor-rotation", scene)) return 2;
    bench::FrameFixture run(scene.width, scene.height, scene.density);
    std::vector<double> frames, floors, ratios;
    volatile std::uint32_t sink = 0;  // keeps the replayed loads
    for (int round = 0; round < bench::kRounds; ++round) {
        frames.push_back(bench::microsEach([&] { run.frame(); }));
        const bench::FrameAccesses accesses = bench::accessesOfLastFrame(run);
        floors.push_back(bench::microsEach([&] { sink = bench::replayFrame(accesses); }));
        ratios.push_back(frames.back() / floors.back());
    }
    std::printf("%dx%d density %d, %zu drops at the end; medians of %d blocks of %d:\n",
                scene.width, scene.height, scene.density, run.loop.rainField().drops().size(),
                bench::kRounds, bench::kBlock);
    std::printf("  frame %8.0f us, floor %8.0f us, frame / floor %.2f (rounds %.2f to %.2f)\n",
                median(frames), median(floors), median(ratios),
                *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()));
    return 0;
}
