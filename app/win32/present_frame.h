#pragma once

#include <cstdint>

#include "engine/screen_loop.h"
#include "render/win32/ddraw_surface.h"

// Copies to `screen` what `loop`'s present plan decides at the tick `now` of `work`, the
// picture it has just drawn: nothing, the changed areas, or the whole picture.
void presentFrame(ScreenLoop& loop, DDraw::Surface& work, DDraw::Surface& screen,
                  std::uint32_t now);
