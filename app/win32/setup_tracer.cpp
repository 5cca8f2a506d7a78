#include "app/win32/setup_tracer.h"

#include <windows.h>

#include <cstdint>

#include "foundation/win32/module_resources.h"
#include "render/tracer/cosntable.h"
#include "render/tracer/tracer.h"
#include "render/win32/surface_description.h"

namespace {

// The table as the resource holds it; a missing or short resource falls back to the copy
// compiled into the program (the same values), since the highlight reads all 129 entries.
const std::int32_t* highlightTable() {
    std::uint32_t size = 0;
    const void* data = Resources::namedData("COSNTABLE", size);
    if (data != nullptr && size >= kCosnTableSize * sizeof(std::int32_t))
        return static_cast<const std::int32_t*>(data);
    return kCosnTable;
}

}  // namespace

void setup_tracer(const DDraw::Surface& work) {
    DDraw::SurfaceDescription format;
    format.read_from(work);
    tracer_setup(highlightTable(), format.red_mask(), format.green_mask(), format.blue_mask());
}
