#include "render/win32/enumerated_display_mode.h"

#include <new>

#include "render/win32/ddraw_device.h"

namespace DDraw {

namespace {

HRESULT CALLBACK appendMode(LPDDSURFACEDESC desc, LPVOID context) {
    if (desc == nullptr) return DDENUMRET_OK;
    auto& list = *static_cast<DisplayModeList*>(context);
    // Nothing may unwind through DirectDraw's frames: out of memory ends the listing instead.
    try {
        list.push_back(std::make_unique<EnumeratedDisplayMode>(*desc));
    } catch (const std::bad_alloc&) {
        return DDENUMRET_CANCEL;
    }
    return DDENUMRET_OK;
}

}  // namespace

void enumerate_modes(DisplayModeList& list) {
    device().get()->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, &list, &appendMode);
}

}  // namespace DDraw
