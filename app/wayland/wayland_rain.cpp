#include "app/wayland/wayland_rain.h"

#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <cerrno>

#include "app/wayland/output_capture.h"
#include "engine/frame_pacer.h"
#include "rain/rain_random.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

WaylandRain::WaylandRain(const MistoOptions& options, const char* argv0, SignalWatch& signals,
                         const std::vector<std::string>& ignored)
    : options_(options),
      signals_(signals),
      settings_(settingsWithRestart(options.choice.settings, options.choice.restartSeconds)),
      under_(options.image, argv0),
      display_(ignored) {
    coverNewOutputs();
    display_.roundtrip();
    display_.rainShown();
}

WaylandRain::~WaylandRain() {
    screens_.clear();
    // The surfaces go before the connection does, so that the compositor shows the desktop
    // again at once.
    wl_display_roundtrip(display_.display());
}

void WaylandRain::coverNewOutputs() {
    std::vector<const WaylandOutput*> bare;
    for (const auto& output : display_.outputs()) {
        // An output whose surface the compositor closed stays without rain.
        const bool covered = std::find(coveredNames_.begin(), coveredNames_.end(), output->name) !=
                             coveredNames_.end();
        if (output->described && !output->gone && !covered) bare.push_back(output.get());
    }
    // Every output is copied before any rain covers one.
    std::vector<std::optional<Picture>> shown;
    for (const WaylandOutput* output : bare) {
        shown.push_back(under_.desktop([&]() { return captureOutput(display_, *output); }));
    }
    for (std::size_t i = 0; i < bare.size(); ++i) {
        screens_.push_back(std::make_unique<WaylandScreenRain>(
            display_, *bare[i], under_.over(shown[i]), settings_,
            screenSeed(options_.choice.seed, static_cast<std::uint32_t>(coveredNames_.size()))));
        coveredNames_.push_back(bare[i]->name);
    }
}

void WaylandRain::dropLostScreens() {
    screens_.erase(std::remove_if(screens_.begin(), screens_.end(),
                                  [](const auto& screen) {
                                      return screen->closed() || screen->output().gone;
                                  }),
                   screens_.end());
    display_.forgetGoneOutputs();
}

int WaylandRain::go() {
    FramePacer pacer(std::chrono::microseconds(options_.delayMicroseconds), options_.frames,
                     Clock::now());
    for (;;) {
        readSignals();
        if (ended_ || display_.inputEnded()) break;
        dropLostScreens();
        coverNewOutputs();
        if (screens_.empty()) break;
        // A surface outlives its program, so --frames N keeps its last picture on show until
        // the run ends as any other does.
        const bool anyReady =
            !pacer.allDrawn() && std::any_of(screens_.begin(), screens_.end(),
                                             [](const auto& screen) { return screen->ready(); });
        if (anyReady && pacer.due(Clock::now())) {
            // An output that has not asked for the next frame yet (covered, powered down) keeps
            // its rain where it is; the others go on.
            for (const auto& screen : screens_) {
                if (screen->ready()) screen->frame(pacer.stepMs());
            }
            pacer.drawn(Clock::now());
            pump(std::chrono::nanoseconds(0));
            continue;
        }
        // Nothing to draw until the compositor says so (a frame callback, a buffer released,
        // an output powered or added): the loop waits for it, or a signal, alone.
        pump(anyReady ? std::optional<std::chrono::nanoseconds>(pacer.untilDue(Clock::now()))
                      : std::nullopt);
    }
    return 0;
}

void WaylandRain::readSignals() {
    while (const int signal = signals_.take()) {
        if (signal == SIGUSR1) {
            for (const auto& screen : screens_) screen->restart();
        } else {
            ended_ = true;
        }
    }
}

void WaylandRain::pump(std::optional<std::chrono::nanoseconds> wait) {
    wl_display* display = display_.display();
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) throw display_.failure();
    }
    // A full socket leaves the rest for the next round; only a broken one is an error.
    if (wl_display_flush(display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display);
        throw display_.failure();
    }
    timespec timeout{};
    if (wait) {
        timeout.tv_sec = static_cast<time_t>(wait->count() / 1'000'000'000);
        timeout.tv_nsec = static_cast<long>(wait->count() % 1'000'000'000);
    }
    pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {signals_.descriptor(), POLLIN, 0}};
    ppoll(fds, 2, wait ? &timeout : nullptr, nullptr);
    if ((fds[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
        if (wl_display_read_events(display) < 0) throw display_.failure();
    } else {
        wl_display_cancel_read(display);
    }
    if (wl_display_dispatch_pending(display) < 0) throw display_.failure();
}
