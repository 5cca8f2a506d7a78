#include "app/win32/present_frame.h"

#include <windows.h>

void presentFrame(ScreenLoop& loop, DDraw::Surface& work, DDraw::Surface& screen,
                  std::uint32_t now) {
    switch (loop.plan(now)) {
        case FramePresentation::Send::Nothing:
            return;
        case FramePresentation::Send::Whole:
            work.blt_to(screen);
            return;
        case FramePresentation::Send::Areas:
            for (const PixelArea& a : loop.areas())
                work.blt_rect_to(screen, RECT{a.left, a.top, a.right, a.bottom});
            return;
    }
}
