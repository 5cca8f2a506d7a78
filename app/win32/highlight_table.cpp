#include "app/win32/highlight_table.h"

#include "foundation/win32/module_resources.h"
#include "render/tracer/cosntable.h"

const std::int32_t* highlightTable() {
    std::uint32_t size = 0;
    const void* data = Resources::namedData("COSNTABLE", size);
    if (data != nullptr && size >= kCosnTableSize * sizeof(std::int32_t))
        return static_cast<const std::int32_t*>(data);
    return kCosnTable;
}
