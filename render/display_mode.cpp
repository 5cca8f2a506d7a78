#include "render/display_mode.h"

DisplayChoice chooseDisplayMode(bool useDesktopMode, int width, int height, int bits, int refresh,
                                const DisplayModeList& listed) {
    DisplayChoice choice;
    if (useDesktopMode || width <= 0 || height <= 0 || bits <= 0) return choice;
    const auto w = static_cast<std::uint32_t>(width), h = static_cast<std::uint32_t>(height),
               b = static_cast<std::uint32_t>(bits);
    bool sizeListed = false;
    bool refreshListed = false;
    for (const auto& mode : listed) {
        if (!mode || mode->width() != w || mode->height() != h || mode->bits_per_pixel() != b)
            continue;
        sizeListed = true;
        if (refresh > 0 && mode->refresh_rate() == static_cast<std::uint32_t>(refresh))
            refreshListed = true;
    }
    if (!sizeListed) return choice;
    choice.changeMode = true;
    choice.mode = ModeValues{w, h, b, refreshListed ? static_cast<std::uint32_t>(refresh) : 0u};
    return choice;
}
