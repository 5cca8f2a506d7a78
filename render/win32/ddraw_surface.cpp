#include "render/win32/ddraw_surface.h"

#include <cstring>

#include "render/win32/ddraw_device.h"
#include "render/win32/surface_description.h"

namespace DDraw {

namespace {

// An asynchronous blit that finds the blitter busy is dropped by DirectDraw; it is repeated
// with a wait so that no copy silently goes missing (the last one restores the desktop).
void blit(IDirectDrawSurface3* target, RECT* targetRect, IDirectDrawSurface3* source,
          RECT* sourceRect) {
    if (target == nullptr || source == nullptr) return;
    const HRESULT result = target->Blt(targetRect, source, sourceRect, DDBLT_ASYNC, nullptr);
    if (result == DDERR_WASSTILLDRAWING)
        target->Blt(targetRect, source, sourceRect, DDBLT_WAIT, nullptr);
}

// A device context of a surface, given back when the holder goes.
class SurfaceDc {
  public:
    explicit SurfaceDc(IDirectDrawSurface3* surface) : surface_(surface) {
        if (surface_ == nullptr || FAILED(surface_->GetDC(&dc_))) dc_ = nullptr;
    }
    ~SurfaceDc() {
        if (dc_ != nullptr) surface_->ReleaseDC(dc_);
    }
    SurfaceDc(const SurfaceDc&) = delete;
    SurfaceDc& operator=(const SurfaceDc&) = delete;
    HDC get() const { return dc_; }

  private:
    IDirectDrawSurface3* surface_;
    HDC dc_ = nullptr;
};

}  // namespace

Surface::Surface(IDirectDrawSurface3* surface) : surface_(surface) {}

Surface::~Surface() {
    if (locked_ != nullptr) unlock();
}

void Surface::blt_rect_to(Surface& target, const RECT& rect) {
    RECT from = rect;
    RECT to = rect;
    blit(target.surface_, &to, surface_, &from);
}

void Surface::blt_at(Surface& target, std::int32_t x, std::int32_t y) {
    SurfaceDescription own;
    if (!own.read_from(*this)) return;
    RECT to{x, y, static_cast<LONG>(x + static_cast<std::int32_t>(own.width())),
            static_cast<LONG>(y + static_cast<std::int32_t>(own.height()))};
    blit(target.surface_, &to, surface_, nullptr);
}

void Surface::blt_to(Surface& target) { blit(target.surface_, nullptr, surface_, nullptr); }

void Surface::stretch_to(Surface& target) {
    SurfaceDescription own, other;
    if (!own.read_from(*this) || !other.read_from(target)) return;
    // Scope order: this surface's context is given back first.
    SurfaceDc targetDc(target.surface_);
    if (targetDc.get() == nullptr) return;
    SurfaceDc ownDc(surface_);
    if (ownDc.get() == nullptr) return;
    // The default mode ANDs the pixels it drops together, which speckles a shrunk colour
    // picture with colours it never had; dropping whole rows and columns keeps real pixels.
    SetStretchBltMode(targetDc.get(), COLORONCOLOR);
    StretchBlt(targetDc.get(), 0, 0, static_cast<int>(other.width()),
               static_cast<int>(other.height()), ownDc.get(), 0, 0, static_cast<int>(own.width()),
               static_cast<int>(own.height()), SRCCOPY);
}

void Surface::copy_from_dc(HDC dc) {
    SurfaceDescription own;
    if (dc == nullptr || !own.read_from(*this)) return;
    SurfaceDc ownDc(surface_);
    if (ownDc.get() == nullptr) return;
    BitBlt(ownDc.get(), 0, 0, static_cast<int>(own.width()), static_cast<int>(own.height()), dc, 0,
           0, SRCCOPY);
}

std::unique_ptr<Surface> Surface::back_buffer() {
    if (surface_ == nullptr) return nullptr;
    DDSCAPS caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface3* attached = nullptr;
    if (FAILED(surface_->GetAttachedSurface(&caps, &attached)) || attached == nullptr)
        return nullptr;
    device().adopt(attached);
    return std::make_unique<Surface>(attached);
}

bool Surface::lock(SurfaceDesc& desc) {
    if (surface_ == nullptr || locked_ != nullptr) return false;
    DDSURFACEDESC locked;
    std::memset(&locked, 0, sizeof locked);
    locked.dwSize = sizeof(DDSURFACEDESC);
    if (FAILED(surface_->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr)) ||
        locked.lpSurface == nullptr)
        return false;
    const std::uint32_t bits = locked.ddpfPixelFormat.dwRGBBitCount;
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(locked.dwWidth) * ((bits + 7) / 8);
    // The tracer trusts these figures; a pitch shorter than a row would send it outside the
    // memory DirectDraw gave.
    if (locked.lPitch <= 0 || static_cast<std::uint64_t>(locked.lPitch) < rowBytes) {
        surface_->Unlock(locked.lpSurface);
        return false;
    }
    locked_ = locked.lpSurface;
    desc.bitsPerPixel = bits;
    desc.pitch = static_cast<std::uint32_t>(locked.lPitch);
    desc.width = locked.dwWidth;
    desc.height = locked.dwHeight;
    desc.bits = static_cast<std::uint8_t*>(locked.lpSurface);
    return true;
}

void Surface::unlock() {
    if (surface_ == nullptr || locked_ == nullptr) return;
    surface_->Unlock(locked_);
    locked_ = nullptr;
}

bool Surface::is_lost() const {
    return surface_ != nullptr && surface_->IsLost() == DDERR_SURFACELOST;
}

bool Surface::recover(Surface& picture) {
    if (surface_ == nullptr) return false;
    if (!is_lost()) return true;
    if (FAILED(surface_->Restore())) return false;
    picture.blt_to(*this);
    return true;
}

}  // namespace DDraw
