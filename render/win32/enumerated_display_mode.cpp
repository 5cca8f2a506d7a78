#include "render/win32/enumerated_display_mode.h"

#include "foundation/win32/callback_boundary.h"
#include "render/win32/ddraw_device.h"

namespace DDraw {

namespace {

HRESULT CALLBACK appendMode(LPDDSURFACEDESC desc, LPVOID context) {
    if (desc == nullptr) return DDENUMRET_OK;
    auto& list = *static_cast<DisplayModeList*>(context);
    const bool added = CallbackBoundary::enumeration(
        [&] { list.push_back(std::make_unique<EnumeratedDisplayMode>(*desc)); });
    return added ? DDENUMRET_OK : DDENUMRET_CANCEL;
}

}  // namespace

void enumerate_modes(DisplayModeList& list) {
    device().get()->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, &list, &appendMode);
    CallbackBoundary::rethrow();
}

}  // namespace DDraw
