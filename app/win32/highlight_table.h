#pragma once

#include <cstdint>

// The tracer's highlight table as the program's "COSNTABLE" data resource holds it (used in
// place for the life of the process), or the copy compiled into the program (the same values)
// when the resource is missing or short, since the highlight reads all 129 entries.
const std::int32_t* highlightTable();
