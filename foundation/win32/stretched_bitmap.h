#pragma once

#include <windows.h>

// Draws the module's bitmap resource `bitmapId` stretched over `box` of `dc`, averaged
// (halftone) rather than sampled, so that a banner stays smooth at any size: the preview's host
// window, or a dialog's box that grows with the screen's DPI while the bitmap does not.
void drawStretchedBitmap(HDC dc, int bitmapId, const RECT& box);
