#include "app/x11/x_full_screen.h"

#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include "app/x11/x_monitors.h"
#include "app/x11/x_pixels.h"
#include "app/x11/x_rain_visual.h"
#include "foundation/basic_error.h"

namespace {

using Clock = std::chrono::steady_clock;

// One full-screen run a display: the first takes a selection; a second finds it owned. The
// owner is a window of misto's own, so the claim ends with the run.
bool claimFullScreen(Display* display, Window root, XRainScreens& screens) {
    const std::string name = "_MISTO_FULLSCREEN_S" + std::to_string(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.c_str(), False);
    XGrabServer(display);
    const bool free = XGetSelectionOwner(display, selection) == XNone;
    if (free) {
        const Window owner = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
        screens.own(owner);
        XSetSelectionOwner(display, selection, owner, CurrentTime);
    }
    XUngrabServer(display);
    XSync(display, False);
    return free;
}

void grabInput(Display* display, Window root, Window window, MouseRule& mouse) {
    // Just after mapping, or while the key that started it is held by a hot-key daemon, the
    // grab may fail for a moment: try for two seconds.
    const Clock::time_point limit = Clock::now() + std::chrono::seconds(2);
    // No pointer over the rain: a cursor with nothing in it while the grab lasts.
    static const char nothing[1] = {0};
    const Pixmap empty = XCreateBitmapFromData(display, window, nothing, 1, 1);
    XColor black{};
    const Cursor hidden = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
    bool keyboard = false;
    bool pointer = false;
    for (;;) {
        if (!keyboard) {
            keyboard = XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync,
                                     CurrentTime) == GrabSuccess;
        }
        if (!pointer) {
            pointer = XGrabPointer(display, window, False, ButtonPressMask | PointerMotionMask,
                                   GrabModeAsync, GrabModeAsync, XNone, hidden,
                                   CurrentTime) == GrabSuccess;
        }
        if ((keyboard && pointer) || Clock::now() > limit) break;
        usleep(20000);
    }
    // The grab holds the cursor as long as it needs it.
    XFreeCursor(display, hidden);
    if (!(keyboard && pointer)) throw BasicError("cannot take the keyboard and the mouse");
    Window rootReturn = XNone;
    Window child = XNone;
    int x = 0;
    int y = 0;
    int wx = 0;
    int wy = 0;
    unsigned mask = 0;
    if (XQueryPointer(display, root, &rootReturn, &child, &x, &y, &wx, &wy, &mask)) {
        mouse.moved(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y));
    }
}

}  // namespace

bool rainFullScreen(Display* display, const PictureUnderRain& under, XRainScreens& screens,
                    MouseRule& mouse) {
    const Window root = DefaultRootWindow(display);
    if (!claimFullScreen(display, root, screens)) return false;
    XWindowAttributes rootAttributes{};
    XGetWindowAttributes(display, root, &rootAttributes);
    const std::optional<Picture> desktop = rootDesktop(display, root, rootAttributes, under);
    // The captured desktop is cut into the monitors; another picture covers each whole.
    const bool cut = desktop && desktop->width == rootAttributes.width;
    const Picture whole = cut ? Picture() : under.over(desktop);
    for (const MonitorPlace& place :
         monitorPlaces(display, root, rootAttributes.width, rootAttributes.height)) {
        XSetWindowAttributes set{};
        set.background_pixmap = XNone;
        set.override_redirect = True;
        set.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask | ExposureMask |
                         StructureNotifyMask | VisibilityChangeMask;
        const RainWindow made =
            createRainWindow(display, root, place.x, place.y, place.width, place.height, set,
                             CWBackPixmap | CWOverrideRedirect | CWEventMask);
        const Window window = made.window;
        screens.own(window, made.colormap);
        Picture part =
            cut ? cropPicture(*desktop, place.x, place.y, place.width, place.height) : whole;
        screens.add(window, rainWindowAttributes(display, window), std::move(part));
        XMapRaised(display, window);
    }
    XSync(display, False);
    grabInput(display, root, screens.all().front()->window(), mouse);
    return true;
}
