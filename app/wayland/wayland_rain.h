#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "app/misto_options.h"
#include "app/posix/picture_under_rain.h"
#include "app/posix/signal_watch.h"
#include "app/wayland/wayland_display.h"
#include "app/wayland/wayland_screen_rain.h"
#include "picture/picture.h"
#include "settings/saver_settings.h"

// misto --fullscreen on Wayland: the rain over every output, each over the picture of what it
// showed, until a key, a button, a move of the pointer, an ending signal, or the compositor
// closes the last of its surfaces. An output that comes while it rains gets rain of its own;
// one taken away loses its rain.
class WaylandRain {
  public:
    // Connects and covers the outputs; throws BasicError when the compositor cannot. Globals
    // named in `ignored` are taken as missing.
    WaylandRain(const MistoOptions& options, const char* argv0, SignalWatch& signals,
                const std::vector<std::string>& ignored);
    ~WaylandRain();
    WaylandRain(const WaylandRain&) = delete;
    WaylandRain& operator=(const WaylandRain&) = delete;

    // Rains until the run ends; answers the exit status.
    int go();

  private:
    void readSignals();
    // Puts rain on every described output that has none, each copied before any is covered.
    void coverNewOutputs();
    // Takes the rain off outputs the compositor took away and surfaces it closed.
    void dropLostScreens();
    // Sends what waits, then waits for the compositor or a signal, at most `wait` (nothing:
    // until either), and handles what came.
    void pump(std::optional<std::chrono::nanoseconds> wait);

    const MistoOptions& options_;
    SignalWatch& signals_;
    SaverSettings settings_;
    PictureUnderRain under_;
    WaylandDisplay display_;
    std::vector<std::unique_ptr<WaylandScreenRain>> screens_;
    // The globals of the outputs covered so far, in order: the next one rains from
    // screenSeed(seed, their count).
    std::vector<std::uint32_t> coveredNames_;
    bool ended_ = false;
};
