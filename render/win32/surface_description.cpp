#include "render/win32/surface_description.h"

#include <cstring>

#include "render/win32/ddraw_device.h"
#include "render/win32/ddraw_surface.h"

namespace DDraw {

SurfaceDescription::SurfaceDescription() { clear(); }

void SurfaceDescription::clear() {
    std::memset(&desc_, 0, sizeof desc_);
    desc_.dwSize = sizeof(DDSURFACEDESC);
}

bool SurfaceDescription::read_display_mode() {
    clear();
    if (SUCCEEDED(device().get()->GetDisplayMode(&desc_))) return true;
    clear();
    return false;
}

bool SurfaceDescription::read_from(const Surface& surface) {
    clear();
    if (surface.get() != nullptr && SUCCEEDED(surface.get()->GetSurfaceDesc(&desc_))) return true;
    clear();
    return false;
}

void SurfaceDescription::apply_format_to(DDSURFACEDESC& target) const {
    target.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    target.dwWidth = desc_.dwWidth;
    target.dwHeight = desc_.dwHeight;
    target.ddpfPixelFormat = desc_.ddpfPixelFormat;
}

}  // namespace DDraw
