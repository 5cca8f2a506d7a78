#include "foundation/win32/stretched_bitmap.h"

#include "foundation/win32/gdi.h"
#include "foundation/win32/module.h"

void drawStretchedBitmap(HDC dc, int bitmapId, const RECT& box) {
    Gdi::Object bitmap(LoadBitmapA(Module::instance(), MAKEINTRESOURCEA(bitmapId)));
    Gdi::MemoryDc memory(dc);
    Gdi::Selection selected(memory.get(), bitmap.get());
    RECT source = {};
    GetClipBox(memory.get(), &source);
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    // Halftone stretching asks for the brush origin to be set again.
    POINT oldOrigin = {};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    StretchBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, memory.get(), 0,
               0, source.right - source.left, source.bottom - source.top, SRCCOPY);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
}
