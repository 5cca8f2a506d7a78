#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "app/misto_options.h"
#include "app/posix/signal_watch.h"
#include "app/wayland/wayland_display.h"
#include "app/wayland/wayland_screen_rain.h"

// misto --fullscreen on Wayland: the rain over every output, each over the picture of what it
// showed, until a key, a button, a move of the pointer, an ending signal or the compositor
// closes a surface.
class WaylandRain {
  public:
    // Connects and covers the outputs; throws BasicError when the compositor cannot.
    WaylandRain(const MistoOptions& options, const char* argv0, SignalWatch& signals);
    ~WaylandRain();
    WaylandRain(const WaylandRain&) = delete;
    WaylandRain& operator=(const WaylandRain&) = delete;

    // Rains until the run ends; answers the exit status.
    int go();

  private:
    void readSignals();
    // Sends what waits, then waits for the compositor or a signal, at most `wait` (nothing:
    // until either), and handles what came.
    void pump(std::optional<std::chrono::nanoseconds> wait);

    const MistoOptions& options_;
    SignalWatch& signals_;
    WaylandDisplay display_;
    std::vector<std::unique_ptr<WaylandScreenRain>> screens_;
    bool ended_ = false;
};
