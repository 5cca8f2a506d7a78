#pragma once

#include "app/frame_presentation.h"
#include "rain/water_surface.h"
#include "render/win32/ddraw_surface.h"

// Copies to `screen` what `presentation` decides of `work`, the picture `water` has just
// traced: nothing, the changed areas, or the whole picture.
void presentFrame(FramePresentation& presentation, const WaterSurface& water, DDraw::Surface& work,
                  DDraw::Surface& screen);
