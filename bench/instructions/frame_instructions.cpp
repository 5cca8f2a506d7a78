#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>

#include "bench/frame_fixture.h"

// One steady-state frame for callgrind to count: the rain is settled as in the frame's
// benchmarks with the instrumentation off (so it takes seconds, not minutes), then exactly one
// frame is collected. Run by bench/frame_instructions.sh; outside valgrind it only settles and
// draws. Arguments: width height density (1920 1080 50 when left out).
int main(int argc, char** argv) {
    const std::int32_t width = argc > 3 ? std::atoi(argv[1]) : 1920;
    const std::int32_t height = argc > 3 ? std::atoi(argv[2]) : 1080;
    const int density = argc > 3 ? std::atoi(argv[3]) : 50;
    if (width < 2 || height < 2 || density < 1) {
        std::fprintf(stderr, "usage: misto-frame-instructions [width height density]\n");
        return 2;
    }
    bench::FrameFixture fixture(width, height, density);
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_TOGGLE_COLLECT;
    fixture.frame();
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_STOP_INSTRUMENTATION;
    std::printf("%zu drops\n", fixture.loop.rainField().drops().size());
    return 0;
}
