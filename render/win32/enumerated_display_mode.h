#pragma once

#include <windows.h>
// windows.h first: ddraw.h relies on its types.
#include <ddraw.h>

#include "render/display_mode.h"

namespace DDraw {

// A mode as DirectDraw reported it, description kept whole.
class EnumeratedDisplayMode : public DisplayMode {
  public:
    explicit EnumeratedDisplayMode(const DDSURFACEDESC& desc) : desc_(desc) {}

    std::uint32_t width() const override { return desc_.dwWidth; }
    std::uint32_t height() const override { return desc_.dwHeight; }
    std::uint32_t bits_per_pixel() const override { return desc_.ddpfPixelFormat.dwRGBBitCount; }
    // The field shares its place with others; it means a rate only when flagged as one.
    std::uint32_t refresh_rate() const override {
        return (desc_.dwFlags & DDSD_REFRESHRATE) != 0 ? desc_.dwRefreshRate : 0;
    }
    const DDSURFACEDESC& description() const { return desc_; }

  private:
    DDSURFACEDESC desc_;
};

// Appends every mode the display offers, each refresh rate as a mode of its own, in the order
// DirectDraw reports them.
void enumerate_modes(DisplayModeList& list);

}  // namespace DDraw
