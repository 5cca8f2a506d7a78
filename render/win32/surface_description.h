#pragma once

#include <windows.h>
// windows.h first: ddraw.h relies on its types.
#include <ddraw.h>

#include <cstdint>

namespace DDraw {

class Surface;

// A DDSURFACEDESC with its size field set before every use.
class SurfaceDescription {
  public:
    SurfaceDescription();

    // The display mode in force. False (and the description zeroed) when DirectDraw refuses.
    bool read_display_mode();
    // The description of `surface`. False (and zeroed) when DirectDraw refuses.
    bool read_from(const Surface& surface);

    std::uint32_t width() const { return desc_.dwWidth; }
    std::uint32_t height() const { return desc_.dwHeight; }
    std::uint32_t bits_per_pixel() const { return desc_.ddpfPixelFormat.dwRGBBitCount; }
    std::uint32_t red_mask() const { return desc_.ddpfPixelFormat.dwRBitMask; }
    std::uint32_t green_mask() const { return desc_.ddpfPixelFormat.dwGBitMask; }
    std::uint32_t blue_mask() const { return desc_.ddpfPixelFormat.dwBBitMask; }

    // Copies size and pixel format into `target`, marking them as given.
    void apply_format_to(DDSURFACEDESC& target) const;

    const DDSURFACEDESC& raw() const { return desc_; }
    DDSURFACEDESC& raw() { return desc_; }

  private:
    void clear();

    DDSURFACEDESC desc_;
};

}  // namespace DDraw
