#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/x11/x_own_window.h"
#include "app/x11/x_root_snapshot.h"
#include "app/x11/x_screen_rain.h"
#include "app/x11/xlib.h"
#include "picture/picture.h"
#include "settings/saver_settings.h"

// The windows one run rains on, each with its rain, and what misto made or took for them: its
// own windows, and the root as it was before the rain.
class XRainScreens {
  public:
    // Every screen rains as `settings` give it; the n-th (0 the first) from its own generator,
    // started at screenSeed(seed, n). `tryShm`: send the pixels through shared memory if the
    // server offers it.
    XRainScreens(Display* display, const SaverSettings& settings, std::uint32_t seed, bool tryShm);
    XRainScreens(const XRainScreens&) = delete;
    XRainScreens& operator=(const XRainScreens&) = delete;

    // Rain on `window` over `under`, a picture of any size.
    void add(Window window, const XWindowAttributes& attributes, Picture under);
    // A window misto made, destroyed with its colour map (if not XNone) when the rain ends.
    void own(Window window, Colormap colormap = XNone);
    // The root as it is now, to put back when the rain ends.
    const XRootSnapshot& keepRoot(Window root, const XWindowAttributes& attributes);

    const std::vector<std::unique_ptr<XScreenRain>>& all() const { return screens_; }
    // The rain on `window`, null when misto rains on no such window.
    XScreenRain* of(Window window) const;
    bool anyBusy() const;
    bool anyShown() const;

    // The rain and misto's own windows go; the root kept by keepRoot() is put back when
    // `putRootBack`.
    void end(bool putRootBack);

  private:
    Display* display_;
    SaverSettings settings_;
    std::uint32_t seed_;
    bool tryShm_;
    std::vector<std::unique_ptr<OwnWindow>> ownWindows_;
    std::unique_ptr<XRootSnapshot> rootSnapshot_;
    // Declared after the windows: the rain goes before the windows it draws on.
    std::vector<std::unique_ptr<XScreenRain>> screens_;
};
