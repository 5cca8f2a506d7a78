#pragma once

#include <string>

#include "app/x11/xlib.h"

// Why a window of this visual and depth cannot take the rain: a finished sentence, or empty
// when it can.
std::string unsupportedVisual(const Visual* visual, int depth);

// A window of misto's own: the window, and the colour map made for it (XNone when it uses its
// parent's), which must go after the window.
struct RainWindow {
    Window window;
    Colormap colormap;
};

// Makes an InputOutput window of misto's own on `parent` (a root window) with these attributes,
// in the screen's default visual when misto draws in it, else in a TrueColor visual of the
// screen. Throws BasicError saying why when the screen has no visual misto draws in.
RainWindow createRainWindow(Display* display, Window parent, int x, int y, int width, int height,
                            XSetWindowAttributes attributes, unsigned long mask);
