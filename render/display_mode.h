#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// One display mode: size, depth and refresh rate (0 where the driver names none).
class DisplayMode {
  public:
    virtual ~DisplayMode() = default;
    virtual std::uint32_t width() const = 0;
    virtual std::uint32_t height() const = 0;
    virtual std::uint32_t bits_per_pixel() const = 0;
    virtual std::uint32_t refresh_rate() const = 0;
};

using DisplayModeList = std::vector<std::unique_ptr<DisplayMode>>;

// A mode as plain values, for choices made from settings.
struct ModeValues {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bits = 0;
    std::uint32_t refresh = 0;
};

// What the saver run does with the display.
struct DisplayChoice {
    // False: stay in the desktop's mode (no mode change).
    bool changeMode = false;
    ModeValues mode;
};

// Decides the mode the saver switches to. A stored mode is taken only when the display lists
// its width, height and depth; its refresh rate is kept when listed for that size, else the
// driver's default (0) is asked for. Anything else (0x0, negative values from a damaged
// record, a size or depth the display does not offer) keeps the desktop's mode, since a
// failed switch would leave the surfaces at a size nobody planned for.
DisplayChoice chooseDisplayMode(bool useDesktopMode, int width, int height, int bits, int refresh,
                                const DisplayModeList& listed);
