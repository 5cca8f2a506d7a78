// misto-wayland: misto --fullscreen under a Wayland compositor, which misto hands the run to.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/misto_options.h"
#include "app/posix/misto_start.h"
#include "app/posix/single_run_lock.h"
#include "app/wayland/wayland_rain.h"

namespace {

// The globals to take as missing, named in MISTO_WAYLAND_IGNORE with spaces or commas between:
// how the tests play a compositor without screencopy or the layer shell.
std::vector<std::string> ignoredGlobals(const char* names) {
    std::vector<std::string> ignored;
    std::string name;
    for (const char* c = names != nullptr ? names : "";; ++c) {
        if (*c == '\0' || *c == ' ' || *c == ',') {
            if (!name.empty()) ignored.push_back(name);
            name.clear();
            if (*c == '\0') break;
        } else {
            name += *c;
        }
    }
    return ignored;
}

}  // namespace

int main(int argc, char** argv) {
    // A window handed over by an X host means nothing here.
    MistoStart start = startMisto(argc, argv, nullptr, true);
    if (start.exitStatus) return *start.exitStatus;
    // One rain a display: a second run leaves at once, as a second --fullscreen does on X11.
    const char* display = std::getenv("WAYLAND_DISPLAY");
    const SingleRunLock lock(std::getenv("XDG_RUNTIME_DIR"),
                             display != nullptr && display[0] != '\0' ? display : "wayland-0");
    if (lock.heldElsewhere()) return 0;
    try {
        WaylandRain rain(start.options, argc > 0 ? argv[0] : nullptr, *start.signals,
                         ignoredGlobals(std::getenv("MISTO_WAYLAND_IGNORE")));
        return rain.go();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "misto: %s\n", e.what());
        return 1;
    }
}
