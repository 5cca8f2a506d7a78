#include "app/x11/x_desktop.h"

#include <cstdio>

#include "app/x11/x_errors.h"
#include "app/x11/x_pixels.h"

Pixmap screenshotPixmap(Display* display, Window window) {
    const Atom property = XInternAtom(display, "_SCREENSAVER_SCREENSHOT", False);
    Atom type = XNone;
    int format = 0;
    unsigned long items = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1, False, XA_PIXMAP, &type,
                                          &format, &items, &left, &data);
    Pixmap pixmap = XNone;
    if (status == Success && type == XA_PIXMAP && format == 32 && items == 1 && data != nullptr) {
        pixmap = static_cast<Pixmap>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data != nullptr) XFree(data);
    return pixmap;
}

std::optional<Picture> hostScreenshot(Display* display, Window window,
                                      const XWindowAttributes& attributes) {
    XErrors::take();
    const Pixmap pixmap = screenshotPixmap(display, window);
    if (pixmap == XNone) return std::nullopt;

    Window root = XNone;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    // A pixmap its host has freed since is no picture; its error is answered here.
    const Status found =
        XGetGeometry(display, pixmap, &root, &x, &y, &width, &height, &border, &depth);
    if (XErrors::take() != 0 || !found || static_cast<int>(depth) != attributes.depth) {
        return std::nullopt;
    }
    // A pixmap's image carries no channel masks: the window's visual gives them.
    return readDrawable(display, pixmap, 0, 0, static_cast<int>(width), static_cast<int>(height),
                        masksOf(attributes.visual));
}
