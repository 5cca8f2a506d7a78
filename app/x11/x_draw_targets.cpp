#include "app/x11/x_draw_targets.h"

#include <algorithm>
#include <cstdio>

#include "app/x11/x_desktop.h"
#include "app/x11/x_errors.h"
#include "app/x11/x_pixels.h"
#include "app/x11/x_rain_visual.h"
#include "foundation/basic_error.h"

namespace {

std::string hex(unsigned long id) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", id);
    return text;
}

}  // namespace

std::optional<Picture> rootDesktop(Display* display, Window root,
                                   const XWindowAttributes& rootAttributes,
                                   const PictureUnderRain& under) {
    return under.desktop([&]() -> std::optional<Picture> {
        if (!unsupportedVisual(rootAttributes.visual, rootAttributes.depth).empty()) {
            return std::nullopt;
        }
        return readDrawable(display, root, 0, 0, rootAttributes.width, rootAttributes.height,
                            masksOf(rootAttributes.visual));
    });
}

XWindowAttributes rainWindowAttributes(Display* display, Window window) {
    XWindowAttributes attributes{};
    XErrors::take();
    const Status status = XGetWindowAttributes(display, window, &attributes);
    if (XErrors::take() != 0 || status == 0) {
        throw BasicError("there is no window " + hex(window) + " on the display");
    }
    const std::string why = unsupportedVisual(attributes.visual, attributes.depth);
    if (!why.empty()) throw BasicError(why);
    return attributes;
}

void rainOnHostWindow(Display* display, Window window, const PictureUnderRain& under,
                      XRainScreens& screens) {
    const XWindowAttributes attributes = rainWindowAttributes(display, window);
    XSelectInput(display, window, StructureNotifyMask | ExposureMask | VisibilityChangeMask);
    // The host's screenshot goes before --image: a handed window shows the desktop whenever its
    // host gives one, as --help says.
    std::optional<Picture> screenshot;
    if (under.preferences().desktopImages) screenshot = hostScreenshot(display, window, attributes);
    screens.add(window, attributes, under.over(screenshot));
}

void rainOnRoot(Display* display, const PictureUnderRain& under, XRainScreens& screens) {
    const Window root = DefaultRootWindow(display);
    const XWindowAttributes attributes = rainWindowAttributes(display, root);
    XSelectInput(display, root, StructureNotifyMask | ExposureMask);
    // Taken with --image too: the rain is drawn on the root itself, and the root is put back as
    // the user saw it when misto ends.
    const XRootSnapshot& snapshot = screens.keepRoot(root, attributes);
    screens.add(root, attributes, under.over(under.desktop([&] { return snapshot.picture(); })));
}

Atom rainOnOwnWindow(Display* display, const PictureUnderRain& under, XRainScreens& screens) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes rootAttributes{};
    XGetWindowAttributes(display, root, &rootAttributes);
    // The desktop as it is before the window covers any of it.
    const std::optional<Picture> desktop = rootDesktop(display, root, rootAttributes, under);
    const int width = std::max(1, rootAttributes.width / 2);
    const int height = std::max(1, rootAttributes.height / 2);
    XSetWindowAttributes set{};
    set.background_pixmap = XNone;
    set.event_mask = KeyPressMask | StructureNotifyMask | ExposureMask | VisibilityChangeMask;
    const RainWindow made =
        createRainWindow(display, root, 0, 0, width, height, set, CWBackPixmap | CWEventMask);
    const Window window = made.window;
    screens.own(window, made.colormap);
    XStoreName(display, window, "Misto");
    XClassHint hint{const_cast<char*>("misto"), const_cast<char*>("Misto")};
    XSetClassHint(display, window, &hint);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    screens.add(window, rainWindowAttributes(display, window), under.over(desktop));
    XMapWindow(display, window);
    return deleteWindow;
}
