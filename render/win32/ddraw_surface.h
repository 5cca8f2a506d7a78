#pragma once

#include <windows.h>
// windows.h first: ddraw.h relies on its types.
#include <ddraw.h>

#include <cstdint>
#include <memory>

#include "render/tracer/lockable_surface.h"

namespace DDraw {

// One DirectDraw surface. Copies are whole pictures; the tracer reaches the pixels through
// lock and unlock.
class Surface : public LockableSurface {
  public:
    // Takes the interface without adding a reference.
    explicit Surface(IDirectDrawSurface3* surface);
    // Forgets the interface without releasing it: the device releases every surface it made
    // when it goes, and a wrapper may go before other code is done with the surface.
    ~Surface() override;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Copies `rect` of this surface to the same place of `target`.
    virtual void blt_rect_to(Surface& target, const RECT& rect);
    // Copies the whole of this surface to `target` with its top-left corner at (x, y).
    virtual void blt_at(Surface& target, std::int32_t x, std::int32_t y);
    // Copies the whole of this surface onto the whole of `target`, stretching if sizes differ.
    virtual void blt_to(Surface& target);
    // Scales the whole picture onto the whole of `target` through GDI, converting the pixel
    // format where the depths differ.
    virtual void stretch_to(Surface& target);
    // Fills the whole surface from `dc`, from its (0, 0).
    virtual void copy_from_dc(HDC dc);
    // The attached back buffer, or null when there is none.
    virtual std::unique_ptr<Surface> back_buffer();

    // The whole surface, waiting for the blitter. Fails (and holds nothing) when DirectDraw
    // refuses, when the surface is already locked, or when the memory it reports cannot hold
    // the picture it describes.
    bool lock(SurfaceDesc& desc) override;
    void unlock() override;

    bool is_lost() const;
    // Brings a lost surface back and repaints it from `picture`. False when the surface is
    // lost and cannot be restored: the caller then must not draw on it this frame.
    bool recover(Surface& picture);

    IDirectDrawSurface3* get() const { return surface_; }

  private:
    IDirectDrawSurface3* surface_;
    void* locked_ = nullptr;
};

}  // namespace DDraw
