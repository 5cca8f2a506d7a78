#include <valgrind/callgrind.h>

#include <cstdio>

#include "bench/frame_fixture.h"

// One steady-state frame for callgrind to count: the rain is settled as in the frame's
// benchmarks with the instrumentation off (so it takes seconds, not minutes), then exactly one
// frame is collected. Run by bench/scripts/frame_instructions.sh; outside valgrind it only settles
// and draws. Arguments: width height density (1920 1080 50 when left out).
int main(int argc, char** argv) {
    bench::SceneArguments scene;
    if (!bench::readSceneArguments(argc, argv, "misto-frame-instructions", scene)) return 2;
    bench::FrameFixture fixture(scene.width, scene.height, scene.density);
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_TOGGLE_COLLECT;
    fixture.frame();
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_STOP_INSTRUMENTATION;
    std::printf("%zu drops\n", fixture.loop.rainField().drops().size());
    return 0;
}
