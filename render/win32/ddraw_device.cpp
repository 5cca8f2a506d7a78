#include "render/win32/ddraw_device.h"

#include <algorithm>
#include <cstring>

#include "render/win32/ddraw_surface.h"
#include "render/win32/surface_description.h"

namespace DDraw {

namespace {

// Our own copies so that the program needs no DirectX import library.
const GUID kIidDirectDraw2 = {
    0xB3A6F3E0, 0x2B43, 0x11CF, {0xA2, 0xDE, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
const GUID kIidDirectDrawSurface3 = {
    0xDA044E00, 0x69B2, 0x11D0, {0xA1, 0xD5, 0x00, 0xAA, 0x00, 0xB8, 0xDF, 0xBB}};

using DirectDrawCreateFunction = HRESULT(WINAPI*)(GUID*, IDirectDraw**, IUnknown*);

std::unique_ptr<Surface> create_surface(DDSURFACEDESC& desc) {
    ComRef<IDirectDrawSurface> created;
    if (FAILED(device().get()->CreateSurface(&desc, created.out(), nullptr)) || !created)
        return nullptr;
    IDirectDrawSurface3* surface = nullptr;
    if (FAILED(
            created->QueryInterface(kIidDirectDrawSurface3, reinterpret_cast<void**>(&surface))) ||
        surface == nullptr)
        return nullptr;
    device().adopt(surface);
    return std::make_unique<Surface>(surface);
}

}  // namespace

const char* const MissingDirectXText = "This program requires DirectX 5 or later installed!";
const char* const ScreenNotPreparedText = "The screen could not be prepared for the screen saver";

Device::Device(const char* library) {
    library_ = LoadLibraryA(library);
    if (library_ == nullptr) throw Exception(MissingDirectXText);
    // A cast through void: GetProcAddress's type says nothing of the real signature.
    const auto create = reinterpret_cast<DirectDrawCreateFunction>(
        reinterpret_cast<void*>(GetProcAddress(library_, "DirectDrawCreate")));
    ComRef<IDirectDraw> first;
    if (create != nullptr && SUCCEEDED(create(nullptr, first.out(), nullptr)) && first) {
        IDirectDraw2* second = nullptr;
        if (SUCCEEDED(first->QueryInterface(kIidDirectDraw2, reinterpret_cast<void**>(&second))))
            object_.reset(second);
    }
    first.reset();
    if (!object_) {
        FreeLibrary(library_);
        throw Exception(MissingDirectXText);
    }
}

Device::~Device() {
    for (auto it = surfaces_.rbegin(); it != surfaces_.rend(); ++it) (*it)->Release();
    surfaces_.clear();
    if (modeChanged_) object_->RestoreDisplayMode();
    if (window_ != nullptr && IsWindow(window_))
        object_->SetCooperativeLevel(window_, DDSCL_NORMAL);
    // The object before the library: its code lives there.
    object_.reset();
    FreeLibrary(library_);
}

void Device::adopt(IDirectDrawSurface3* surface) {
    try {
        surfaces_.push_back(surface);
    } catch (...) {
        // Unlisted, the surface still goes with the process; the caller gets it either way.
    }
}

void Device::release(IDirectDrawSurface3* surface) {
    const auto found = std::find(surfaces_.begin(), surfaces_.end(), surface);
    if (found == surfaces_.end()) return;
    surfaces_.erase(found);
    surface->Release();
}

namespace {

std::unique_ptr<Device>& instance() {
    // Destroyed at exit if nobody released it earlier.
    static std::unique_ptr<Device> holder;
    return holder;
}

}  // namespace

Device& device() {
    if (!instance()) instance() = std::make_unique<Device>();
    return *instance();
}

void release_device() { instance().reset(); }

void release_surface(Surface& surface) {
    if (instance()) instance()->release(surface.get());
}

bool set_cooperative_level(HWND window, std::uint32_t flags) {
    Device& d = device();
    d.note_cooperative_window(window);
    return SUCCEEDED(d.get()->SetCooperativeLevel(window, flags));
}

bool change_display_mode(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                         std::uint32_t refresh) {
    Device& d = device();
    d.note_mode_changed();
    return SUCCEEDED(d.get()->SetDisplayMode(width, height, bits, refresh, 0));
}

std::unique_ptr<Surface> create_primary_surface() {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof(DDSURFACEDESC);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return create_surface(desc);
}

std::unique_ptr<Surface> create_system_memory_surface(const SurfaceDescription& format) {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof(DDSURFACEDESC);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    format.apply_format_to(desc);
    return create_surface(desc);
}

}  // namespace DDraw
