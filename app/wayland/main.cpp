// misto-wayland: misto --fullscreen under a Wayland compositor, which misto hands the run to.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/misto_options.h"
#include "app/posix/signal_watch.h"
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
    // As in misto: the signals are blocked before anything else, and a second after one that
    // ends the rain the watcher ends the process itself, however stuck it is.
    sigset_t handled;
    sigemptyset(&handled);
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) sigaddset(&handled, s);
    pthread_sigmask(SIG_BLOCK, &handled, nullptr);
    std::unique_ptr<SignalWatch> signals;
    try {
        signals = std::make_unique<SignalWatch>(handled, SIGUSR1, std::chrono::seconds(1));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "misto: %s\n", e.what());
        return 1;
    }

    MistoOptions options;
    try {
        // A window handed over by an X host means nothing here.
        options = parseMistoOptions(std::vector<std::string>(argv + 1, argv + argc), nullptr);
    } catch (const SwitchError& e) {
        std::fprintf(stderr, "misto: %s\n", e.what());
        return 1;
    }
    if (options.help) {
        std::fputs(mistoUsage(true).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("misto %s\nCopyright (c) Tarnwick Labs. All rights reserved.\n", MISTO_VERSION);
        return 0;
    }
    // One rain a display: a second run leaves at once, as a second --fullscreen does on X11.
    const char* display = std::getenv("WAYLAND_DISPLAY");
    const SingleRunLock lock(std::getenv("XDG_RUNTIME_DIR"),
                             display != nullptr && display[0] != '\0' ? display : "wayland-0");
    if (lock.heldElsewhere()) return 0;
    try {
        WaylandRain rain(options, argc > 0 ? argv[0] : nullptr, *signals,
                         ignoredGlobals(std::getenv("MISTO_WAYLAND_IGNORE")));
        return rain.go();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "misto: %s\n", e.what());
        return 1;
    }
}
