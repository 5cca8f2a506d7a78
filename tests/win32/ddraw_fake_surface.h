#pragma once

#include <windows.h>
// windows.h first: ddraw.h relies on its types.
#include <ddraw.h>

#include <algorithm>
#include <cstdint>
#include <vector>

// A surface that does what a test tells it: loses itself, refuses to be restored or locked,
// reports a bad pitch, and records the copies made onto it and the addresses given to Unlock.
class FakeDirectDrawSurface : public IDirectDrawSurface3 {
  public:
    FakeDirectDrawSurface(std::uint32_t width, std::uint32_t height, std::uint32_t bits = 32)
        : width(width),
          height(height),
          bits(bits),
          pitch(width * (bits / 8)),
          pixels(static_cast<size_t>(pitch) * height) {}

    // Behaviour.
    bool lost = false;
    bool restorable = true;
    bool lockFails = false;
    bool lockGivesNoMemory = false;
    std::uint32_t width, height, bits;
    std::int32_t pitch;
    std::vector<std::uint8_t> pixels;

    // What happened.
    std::vector<IDirectDrawSurface3*> bltSources;
    std::vector<RECT> bltRects;
    std::vector<void*> unlocked;
    int locks = 0;
    int restores = 0;

    STDMETHOD_(HRESULT, QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(AddAttachedSurface)(LPDIRECTDRAWSURFACE3) override { return E_NOTIMPL; }
    STDMETHOD(AddOverlayDirtyRect)(LPRECT) override { return E_NOTIMPL; }
    // Copies the pixels as well when the source is a fake too (every surface of these tests
    // is): the same rectangle of both, or the whole picture when no rectangle is given.
    STDMETHOD(Blt)(LPRECT to, LPDIRECTDRAWSURFACE3 source, LPRECT from, DWORD, LPDDBLTFX) override {
        if (lost) return DDERR_SURFACELOST;
        bltSources.push_back(source);
        bltRects.push_back(to != nullptr ? *to : RECT{0, 0, LONG(width), LONG(height)});
        auto* fake = static_cast<FakeDirectDrawSurface*>(source);
        if (fake == nullptr || fake->lost) return DD_OK;
        const RECT area = from != nullptr ? *from : RECT{0, 0, LONG(width), LONG(height)};
        const std::uint32_t bytes = bits / 8;
        for (LONG y = area.top; y < area.bottom; ++y)
            std::copy_n(&fake->pixels[y * fake->pitch + area.left * bytes],
                        (area.right - area.left) * bytes, &pixels[y * pitch + area.left * bytes]);
        return DD_OK;
    }
    STDMETHOD(BltBatch)(LPDDBLTBATCH, DWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(BltFast)(DWORD, DWORD, LPDIRECTDRAWSURFACE3, LPRECT, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(DeleteAttachedSurface)(DWORD, LPDIRECTDRAWSURFACE3) override { return E_NOTIMPL; }
    STDMETHOD(EnumAttachedSurfaces)(LPVOID, LPDDENUMSURFACESCALLBACK) override { return E_NOTIMPL; }
    STDMETHOD(EnumOverlayZOrders)(DWORD, LPVOID, LPDDENUMSURFACESCALLBACK) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Flip)(LPDIRECTDRAWSURFACE3, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetAttachedSurface)(LPDDSCAPS, LPDIRECTDRAWSURFACE3*) override {
        return DDERR_NOTFOUND;
    }
    STDMETHOD(GetBltStatus)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetCaps)(LPDDSCAPS) override { return E_NOTIMPL; }
    STDMETHOD(GetClipper)(LPDIRECTDRAWCLIPPER*) override { return E_NOTIMPL; }
    STDMETHOD(GetColorKey)(DWORD, LPDDCOLORKEY) override { return E_NOTIMPL; }
    STDMETHOD(GetDC)(HDC*) override { return E_NOTIMPL; }
    STDMETHOD(GetFlipStatus)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetOverlayPosition)(LPLONG, LPLONG) override { return E_NOTIMPL; }
    STDMETHOD(GetPalette)(LPDIRECTDRAWPALETTE*) override { return E_NOTIMPL; }
    STDMETHOD(GetPixelFormat)(LPDDPIXELFORMAT) override { return E_NOTIMPL; }
    STDMETHOD(GetSurfaceDesc)(LPDDSURFACEDESC desc) override {
        if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
        describe(*desc);
        return DD_OK;
    }
    STDMETHOD(Initialize)(LPDIRECTDRAW, LPDDSURFACEDESC) override { return E_NOTIMPL; }
    STDMETHOD(IsLost)() override { return lost ? DDERR_SURFACELOST : DD_OK; }
    STDMETHOD(Lock)(LPRECT, LPDDSURFACEDESC desc, DWORD, HANDLE) override {
        ++locks;
        if (lost) return DDERR_SURFACELOST;
        if (lockFails) return DDERR_SURFACEBUSY;
        if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
        describe(*desc);
        desc->lpSurface = lockGivesNoMemory ? nullptr : pixels.data();
        return DD_OK;
    }
    STDMETHOD(ReleaseDC)(HDC) override { return E_NOTIMPL; }
    STDMETHOD(Restore)() override {
        ++restores;
        if (!restorable) return DDERR_WRONGMODE;
        lost = false;
        return DD_OK;
    }
    STDMETHOD(SetClipper)(LPDIRECTDRAWCLIPPER) override { return E_NOTIMPL; }
    STDMETHOD(SetColorKey)(DWORD, LPDDCOLORKEY) override { return E_NOTIMPL; }
    STDMETHOD(SetOverlayPosition)(LONG, LONG) override { return E_NOTIMPL; }
    STDMETHOD(SetPalette)(LPDIRECTDRAWPALETTE) override { return E_NOTIMPL; }
    STDMETHOD(Unlock)(LPVOID address) override {
        unlocked.push_back(address);
        return DD_OK;
    }
    STDMETHOD(UpdateOverlay)(LPRECT, LPDIRECTDRAWSURFACE3, LPRECT, DWORD, LPDDOVERLAYFX) override {
        return E_NOTIMPL;
    }
    STDMETHOD(UpdateOverlayDisplay)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(UpdateOverlayZOrder)(DWORD, LPDIRECTDRAWSURFACE3) override { return E_NOTIMPL; }
    STDMETHOD(GetDDInterface)(LPVOID*) override { return E_NOTIMPL; }
    STDMETHOD(PageLock)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(PageUnlock)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(SetSurfaceDesc)(LPDDSURFACEDESC, DWORD) override { return E_NOTIMPL; }

  private:
    void describe(DDSURFACEDESC& desc) const {
        desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.lPitch = pitch;
        desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
        desc.ddpfPixelFormat.dwRGBBitCount = bits;
        desc.ddpfPixelFormat.dwRBitMask = 0xFF0000;
        desc.ddpfPixelFormat.dwGBitMask = 0x00FF00;
        desc.ddpfPixelFormat.dwBBitMask = 0x0000FF;
    }
};
