#pragma once

#include <optional>
#include <string>
#include <utility>

#include "app/posix/picture_under_rain.h"
#include "app/x11/x_rain_screens.h"
#include "app/x11/xlib.h"
#include "picture/picture.h"

// The rain on a window its host hands over, on the root, or on a window of misto's own, and the
// picture under it, which the full screen shares.

// The desktop on the root before misto's own windows cover any of it, as `under` wants it; also
// nothing when the root's pixels are no colours misto can read (a colour-mapped or DirectColor
// root, whose windows misto's own do not share a visual with): the picture then stands in.
std::optional<Picture> rootDesktop(Display* display, Window root,
                                   const XWindowAttributes& rootAttributes,
                                   const PictureUnderRain& under);

// The attributes of `window` to rain on; throws BasicError when the display has no such window
// or misto cannot draw in its visual.
XWindowAttributes rainWindowAttributes(Display* display, Window window);

// The rain on `window`, made by a screen-saver host, over the desktop screenshot it left there
// when the user's preferences let savers show the desktop.
void rainOnHostWindow(Display* display, Window window, const PictureUnderRain& under,
                      XRainScreens& screens);

// The rain on the root window itself, which is put back as it was when the rain ends.
void rainOnRoot(Display* display, const PictureUnderRain& under, XRainScreens& screens);

// The rain on a window of misto's own, half the screen's size, closed by the window manager or
// Escape. Answers the WM_DELETE_WINDOW atom that its close messages carry.
Atom rainOnOwnWindow(Display* display, const PictureUnderRain& under, XRainScreens& screens);
