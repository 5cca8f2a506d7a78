#pragma once

#include <optional>

#include "app/wayland/wayland_display.h"
#include "picture/picture.h"

// What `output` shows now, upright as its user sees it, copied through the compositor's screencopy
// into a wl_shm buffer; nothing when the compositor copies no outputs, the copy fails or comes in a
// format misto does not read (32-bit XRGB, ARGB, XBGR and ABGR are read). Waits for the copy.
std::optional<Picture> captureOutput(WaylandDisplay& display, const WaylandOutput& output);
