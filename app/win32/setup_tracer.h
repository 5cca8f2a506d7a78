#pragma once

#include "render/win32/ddraw_surface.h"

// Readies the tracer for pictures in `work`'s pixel format, with the highlight table from the
// program's "COSNTABLE" data resource (used in place for the life of the process).
void setup_tracer(const DDraw::Surface& work);
