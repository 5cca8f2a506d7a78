#pragma once

#include "app/mouse_rule.h"
#include "app/x11/x_draw_targets.h"
#include "app/x11/x_rain_screens.h"
#include "app/x11/xlib.h"

// The rain over every monitor (--fullscreen): a window of misto's own on each, over the
// keyboard and the mouse, which end it. One full-screen run a display: answers false, with
// nothing set up, when another misto --fullscreen runs on it. The pointer's place at the start
// is `mouse`'s reference.
bool rainFullScreen(Display* display, const PictureUnderRain& under, XRainScreens& screens,
                    MouseRule& mouse);
