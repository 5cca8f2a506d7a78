#pragma once

#include "app/x11/xlib.h"

// A window this program made, destroyed when the run ends so that the desktop shows again; its
// own colour map, if it has one, goes after it.
class OwnWindow {
  public:
    OwnWindow(Display* display, Window window, Colormap colormap = XNone)
        : display_(display), window_(window), colormap_(colormap) {}
    ~OwnWindow() {
        XDestroyWindow(display_, window_);
        if (colormap_ != XNone) XFreeColormap(display_, colormap_);
    }
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
    Window id() const { return window_; }

  private:
    Display* display_;
    Window window_;
    Colormap colormap_;
};
