#pragma once

#include <windows.h>

#include <memory>

#include "render/win32/ddraw_surface.h"

// The desktop as it looks now, in a system-memory surface of the desktop's own mode and
// format. Must run before the saver's window is shown: afterwards the screen holds that black
// window, not the desktop. `window` gets the normal cooperative level, which DirectDraw wants
// before it makes any surface. Null when DirectDraw gives no surface.
std::unique_ptr<DDraw::Surface> captureDesktop(HWND window);
