#include "app/win32/desktop_capture.h"

#include "render/win32/ddraw_device.h"
#include "render/win32/surface_description.h"

namespace {

// The desktop window's device context, given back when the holder goes.
class DesktopDc {
  public:
    DesktopDc() : window_(GetDesktopWindow()), dc_(GetDC(window_)) {}
    ~DesktopDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    DesktopDc(const DesktopDc&) = delete;
    DesktopDc& operator=(const DesktopDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

}  // namespace

std::unique_ptr<DDraw::Surface> captureDesktop(HWND window) {
    DDraw::set_cooperative_level(window, DDSCL_NORMAL);
    DDraw::SurfaceDescription mode;
    if (!mode.read_display_mode()) return nullptr;
    auto snapshot = DDraw::create_system_memory_surface(mode);
    if (!snapshot) return nullptr;
    DesktopDc desktop;
    snapshot->copy_from_dc(desktop.get());
    return snapshot;
}
