#include <sys/mman.h>
#include <sys/prctl.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "bench/frame_fixture.h"
#include "bench/rotation/blocks.h"
#include "foundation/median.h"

// The frame on huge pages against the frame on ordinary pages, in one process: four settled
// runs (ordinary, huge, huge, ordinary, so that neither kind profits from its place in memory
// or in the order), each drawing blocks of 16 frames in turn for 30 rounds. A scene drifts by
// itself over a run by several per cent; medians of blocks timed side by side do not.
// Arguments: width height density (1920 1080 50 when left out).
namespace {

std::unique_ptr<bench::FrameFixture> settledRun(std::int32_t w, std::int32_t h, int density,
                                                bool huge) {
    // With huge pages switched off for the process, the pictures' pages are faulted in small;
    // the advice that then stops the system from merging them later keeps them so.
    prctl(PR_SET_THP_DISABLE, huge ? 0 : 1, 0, 0, 0);
    auto run = std::make_unique<bench::FrameFixture>(w, h, density);
    prctl(PR_SET_THP_DISABLE, 0, 0, 0, 0);
    if (!huge) {
        const auto small = [](void* p, std::size_t bytes) {
            const auto page = static_cast<std::uintptr_t>(4096);
            const auto start = reinterpret_cast<std::uintptr_t>(p) & ~(page - 1);
            madvise(reinterpret_cast<void*>(start), bytes + page, MADV_NOHUGEPAGE);
        };
        const std::size_t points = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        small(run->work.bytes().data(), run->work.bytes().size());
        small(const_cast<std::uint8_t*>(run->pictures.cleanPicture().bytes().data()),
              run->pictures.cleanPicture().bytes().size());
        small(run->loop.waterSurface().grid().points, points * sizeof(SurfacePoint));
    }
    return run;
}

long hugeKilobytes() {
    std::FILE* f = std::fopen("/proc/self/smaps_rollup", "r");
    if (f == nullptr) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f) != nullptr)
        if (std::sscanf(line, "AnonHugePages: %ld kB", &kb) == 1) break;
    std::fclose(f);
    return kb;
}

}  // namespace

int main(int argc, char** argv) {
    bench::SceneArguments scene;
    if (!bench::readSceneArguments(argc, argv, "misto-huge-pages-rotation", scene)) return 2;
    const bool huge[4] = {false, true, true, false};
    std::vector<std::unique_ptr<bench::FrameFixture>> runs;
    for (bool kind : huge)
        runs.push_back(settledRun(scene.width, scene.height, scene.density, kind));
    std::vector<double> micros[4];
    for (int round = 0; round < bench::kRounds; ++round)
        for (int i = 0; i < 4; ++i)
            micros[i].push_back(bench::microsEach([&] { runs[i]->frame(); }));
    double medians[4];
    for (int i = 0; i < 4; ++i) medians[i] = median(micros[i]);
    std::printf("%dx%d density %d, %ld kB on huge pages; median frame of %d blocks of %d:\n",
                scene.width, scene.height, scene.density, hugeKilobytes(), bench::kRounds,
                bench::kBlock);
    std::printf("  ordinary pages %8.0f us %8.0f us\n", medians[0], medians[3]);
    std::printf("  huge pages     %8.0f us %8.0f us\n", medians[1], medians[2]);
    std::printf("  huge / ordinary %.3f\n", (medians[1] + medians[2]) / (medians[0] + medians[3]));
    return 0;
}
