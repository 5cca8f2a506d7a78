#include "app/win32/present_frame.h"

#include <windows.h>

void presentFrame(FramePresentation& presentation, const WaterSurface& water, DDraw::Surface& work,
                  DDraw::Surface& screen) {
    switch (presentation.plan(water.traced(), water.width(), water.height(), GetTickCount())) {
        case FramePresentation::Send::Nothing:
            return;
        case FramePresentation::Send::Whole:
            work.blt_to(screen);
            return;
        case FramePresentation::Send::Areas:
            for (const FramePresentation::Area& a : presentation.areas())
                work.blt_rect_to(screen, RECT{a.left, a.top, a.right, a.bottom});
            return;
    }
}
