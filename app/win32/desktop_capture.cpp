#include "app/win32/desktop_capture.h"

#include "foundation/win32/gdi.h"
#include "render/win32/ddraw_device.h"
#include "render/win32/surface_description.h"

std::unique_ptr<DDraw::Surface> captureDesktop(HWND window) {
    DDraw::set_cooperative_level(window, DDSCL_NORMAL);
    DDraw::SurfaceDescription mode;
    if (!mode.read_display_mode()) return nullptr;
    auto snapshot = DDraw::create_system_memory_surface(mode);
    if (!snapshot) return nullptr;
    Gdi::WindowDc desktop(GetDesktopWindow());
    snapshot->copy_from_dc(desktop.get());
    return snapshot;
}
