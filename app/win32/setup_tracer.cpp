#include "app/win32/setup_tracer.h"

#include <windows.h>

#include <cstdint>

#include "render/tracer/cosntable.h"
#include "render/tracer/tracer.h"
#include "render/win32/surface_description.h"

namespace {

// The table as the resource holds it; a missing or short resource falls back to the copy
// compiled into the program (the same values), since the highlight reads all 129 entries.
const std::int32_t* highlightTable() {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, "COSNTABLE", MAKEINTRESOURCEA(10));
    if (found != nullptr &&
        SizeofResource(module, found) >= kCosnTableSize * sizeof(std::int32_t)) {
        HGLOBAL loaded = LoadResource(module, found);
        const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (data != nullptr) return static_cast<const std::int32_t*>(data);
    }
    return kCosnTable;
}

}  // namespace

void setup_tracer(const DDraw::Surface& work) {
    DDraw::SurfaceDescription format;
    format.read_from(work);
    tracer_setup(highlightTable(), format.red_mask(), format.green_mask(), format.blue_mask());
}
