#pragma once

#include <windows.h>
// windows.h first: ddraw.h relies on its types.
#include <ddraw.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "render/ddraw_exception.h"
#include "render/win32/com_ref.h"

// The same size in every use; a wrong dwSize makes DirectDraw refuse the call.
static_assert(sizeof(DDSURFACEDESC) == (sizeof(void*) == 8 ? 120 : 108),
              "DDSURFACEDESC has the layout DirectDraw expects");

namespace DDraw {

class Surface;
class SurfaceDescription;

// The text shown when DirectDraw or its second interface is missing.
extern const char* const MissingDirectXText;
// The text shown when DirectDraw gives no screen or no picture of the screen's size. Without
// this check a refused surface would leave the frame loop drawing through a null surface.
extern const char* const ScreenNotPreparedText;

// The process's DirectDraw object. ddraw.dll is loaded at run time, so a system without it
// gets our own message instead of a loader error before the program even starts.
class Device {
  public:
    // Throws DDraw::Exception with MissingDirectXText when the library, its DirectDrawCreate
    // or the IDirectDraw2 interface is not there. The library name is a seam for tests.
    explicit Device(const char* library = "ddraw.dll");
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    IDirectDraw2* get() const { return object_.get(); }

    // Every surface made through the device is released with it. Surfaces hold a reference
    // to the DirectDraw object, so without this the object never goes, the display keeps the
    // saver's mode and Wine faults at process exit.
    void adopt(IDirectDrawSurface3* surface);
    // Releases an adopted surface now; a surface the device did not make is left alone.
    void release(IDirectDrawSurface3* surface);
    // Remembered so that the level can be put back to normal before the object goes.
    void note_cooperative_window(HWND window) { window_ = window; }
    void note_mode_changed() { modeChanged_ = true; }

  private:
    HMODULE library_ = nullptr;
    ComRef<IDirectDraw2> object_;
    std::vector<IDirectDrawSurface3*> surfaces_;
    HWND window_ = nullptr;
    bool modeChanged_ = false;
};

// The process-wide device, created on first use. A failed creation is tried again on the next
// call.
Device& device();

// Releases the process-wide device with all its surfaces and gives the display its mode back;
// every Surface wrapper must be gone by then. Runs by itself at program exit; the saver calls
// it as soon as its run is over, while its window still exists.
void release_device();

// Releases the surface behind the wrapper now, when the device made it.
void release_surface(Surface& surface);

// Both answer whether DirectDraw agreed; the saver carries on either way, sizing everything
// from the primary surface it really gets.
bool set_cooperative_level(HWND window, std::uint32_t flags);
bool change_display_mode(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                         std::uint32_t refresh);
// The screen. Null when DirectDraw gives no surface.
std::unique_ptr<Surface> create_primary_surface();
// An off-screen picture in system memory with the size and pixel format of `format`.
// Null when DirectDraw gives no surface.
std::unique_ptr<Surface> create_system_memory_surface(const SurfaceDescription& format);

}  // namespace DDraw
