#include "app/x11/x_rain_screens.h"

#include <algorithm>
#include <utility>

#include "rain/rain_random.h"

XRainScreens::XRainScreens(Display* display, const SaverSettings& settings, std::uint32_t seed,
                           bool tryShm)
    : display_(display), settings_(settings), seed_(seed), tryShm_(tryShm) {}

void XRainScreens::add(Window window, const XWindowAttributes& attributes, Picture under) {
    screens_.push_back(std::make_unique<XScreenRain>(
        display_, window, attributes, std::move(under), settings_,
        screenSeed(seed_, static_cast<std::uint32_t>(screens_.size())), tryShm_));
}

void XRainScreens::own(Window window, Colormap colormap) {
    ownWindows_.push_back(std::make_unique<OwnWindow>(display_, window, colormap));
}

const XRootSnapshot& XRainScreens::keepRoot(Window root, const XWindowAttributes& attributes) {
    rootSnapshot_ = std::make_unique<XRootSnapshot>(display_, root, attributes);
    return *rootSnapshot_;
}

XScreenRain* XRainScreens::of(Window window) const {
    for (const auto& screen : screens_) {
        if (screen->window() == window) return screen.get();
    }
    return nullptr;
}

bool XRainScreens::anyBusy() const {
    return std::any_of(screens_.begin(), screens_.end(),
                       [](const auto& screen) { return screen->busy(); });
}

bool XRainScreens::anyShown() const {
    return std::any_of(screens_.begin(), screens_.end(),
                       [](const auto& screen) { return screen->shown(); });
}

void XRainScreens::end(bool putRootBack) {
    screens_.clear();
    ownWindows_.clear();
    if (rootSnapshot_ && putRootBack) rootSnapshot_->putBack();
}
