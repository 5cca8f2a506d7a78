#include "app/win32/present_frame.h"

#include <windows.h>

void presentFrame(ScreenLoop& loop, DDraw::Surface& work, DDraw::Surface& screen,
                  std::uint32_t now) {
    const FramePresentation::Send send = loop.plan(now);
    // The whole picture goes as one rectangle of the pane's size, which is the primary
    // surface's: the same copy as a blit of the whole surface.
    for (const PixelArea& a :
         areasToSend(send, loop.areas(), loop.waterSurface().width(), loop.waterSurface().height()))
        work.blt_rect_to(screen, RECT{a.left, a.top, a.right, a.bottom});
}
