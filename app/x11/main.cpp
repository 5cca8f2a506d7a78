// misto: the rain on X11, on a window its host hands over, the root, a window of its own or
// every monitor.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/misto_options.h"
#include "app/monitor_power_watch.h"
#include "app/mouse_rule.h"
#include "app/x11/signal_watch.h"
#include "app/x11/x_desktop.h"
#include "app/x11/x_dpms.h"
#include "app/x11/x_errors.h"
#include "app/x11/x_monitors.h"
#include "app/x11/x_pixels.h"
#include "app/x11/x_rain_visual.h"
#include "app/x11/x_root_snapshot.h"
#include "app/x11/x_screen_rain.h"
#include "app/x11/xlib.h"
#include "foundation/basic_error.h"
#include "rain/rain_random.h"
#include "tools/render/picture_io.h"
#include "tools/render/picture_scale.h"

namespace {

using Clock = std::chrono::steady_clock;

std::uint64_t steadyMs() {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
            .count());
}

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

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

std::string hex(unsigned long id) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", id);
    return text;
}

XWindowAttributes attributesOf(Display* display, Window window) {
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

// What one run draws on and how it ends.
class Run {
  public:
    Run(const MistoOptions& options, const char* argv0, SignalWatch& signals)
        : options_(options), argv0_(argv0), signals_(signals) {}

    int go();

  private:
    void openDisplay();
    void setUpGivenWindow();
    void setUpRoot();
    void setUpOwnWindow();
    void setUpFullScreen();
    Picture pictureBehind(const std::optional<Picture>& desktop) const;
    std::optional<Picture> rootPicture(const XWindowAttributes& rootAttributes) const;
    void addScreen(Window window, const XWindowAttributes& attributes, Picture desktop);
    bool claimFullScreen();
    void grabInput(Window window);
    void handle(const XEvent& event);
    void readSignals();
    XScreenRain* screenOf(Window window);
    bool anyBusy() const;
    bool monitorOn();
    bool anyShown() const;
    void end(int code) {
        if (!ended_) exitCode_ = code;
        ended_ = true;
    }

    const MistoOptions& options_;
    const char* argv0_;
    SignalWatch& signals_;
    DisplayHandle display_;
    Window root_ = XNone;
    int shmCompletion_ = -1;
    Atom deleteWindow_ = XNone;
    SaverSettings settings_;
    std::uint32_t frameMs_ = 20;
    std::int32_t frames_ = 0;
    std::vector<std::unique_ptr<OwnWindow>> ownWindows_;
    // --root: the root as it was before the rain, put back at the end.
    std::unique_ptr<XRootSnapshot> rootSnapshot_;
    // Declared after the windows: the rain goes before the windows it draws on.
    std::vector<std::unique_ptr<XScreenRain>> screens_;
    MouseRule mouse_;
    // Standalone, misto rests while the monitor is powered down; a host watches that itself.
    std::unique_ptr<XDpms> dpms_;
    std::unique_ptr<MonitorPowerWatch> power_;
    bool ended_ = false;
    int exitCode_ = 0;
};

void Run::openDisplay() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        const char* name = XDisplayName(nullptr);
        throw BasicError(std::string("cannot open the X display \"") + (name ? name : "") + "\"");
    }
    display_.reset(display);
    XErrors::install();
    root_ = DefaultRootWindow(display);
    // Asked first: any other call of a missing extension makes Xlib print a warning.
    if (XShmQueryExtension(display)) shmCompletion_ = XShmGetEventBase(display) + ShmCompletion;
}

Picture Run::pictureBehind(const std::optional<Picture>& desktop) const {
    if (desktop) return *desktop;
    return chosenPicture(options_.image, argv0_);
}

// The desktop behind the rain of misto's own windows, unless --image names a picture or the
// root's pixels are no colours misto can read (a colour-mapped or DirectColor root, whose
// windows misto's own do not share a visual with): the picture then stands in for it.
std::optional<Picture> Run::rootPicture(const XWindowAttributes& rootAttributes) const {
    if (!options_.image.empty() ||
        !unsupportedVisual(rootAttributes.visual, rootAttributes.depth).empty()) {
        return std::nullopt;
    }
    return readDrawable(display_.get(), root_, 0, 0, rootAttributes.width, rootAttributes.height,
                        masksOf(rootAttributes.visual));
}

void Run::addScreen(Window window, const XWindowAttributes& attributes, Picture desktop) {
    screens_.push_back(std::make_unique<XScreenRain>(
        display_.get(), window, attributes, std::move(desktop), settings_,
        screenSeed(options_.choice.seed, static_cast<std::uint32_t>(screens_.size())),
        !options_.noShm));
}

void Run::setUpGivenWindow() {
    const Window window = static_cast<Window>(options_.windowId);
    const XWindowAttributes attributes = attributesOf(display_.get(), window);
    XSelectInput(display_.get(), window, StructureNotifyMask | ExposureMask | VisibilityChangeMask);
    const std::optional<Picture> screenshot = hostScreenshot(display_.get(), window, attributes);
    addScreen(window, attributes, pictureBehind(screenshot));
}

void Run::setUpRoot() {
    const XWindowAttributes attributes = attributesOf(display_.get(), root_);
    XSelectInput(display_.get(), root_, StructureNotifyMask | ExposureMask);
    // Taken with --image too: the rain is drawn on the root itself, and the root is put back as
    // the user saw it when misto ends.
    rootSnapshot_ = std::make_unique<XRootSnapshot>(display_.get(), root_, attributes);
    std::optional<Picture> desktop;
    if (options_.image.empty()) desktop = rootSnapshot_->picture();
    addScreen(root_, attributes, pictureBehind(desktop));
}

void Run::setUpOwnWindow() {
    Display* display = display_.get();
    XWindowAttributes rootAttributes{};
    XGetWindowAttributes(display, root_, &rootAttributes);
    // The desktop as it is before the window covers any of it.
    const std::optional<Picture> desktop = rootPicture(rootAttributes);
    const int width = std::max(1, rootAttributes.width / 2);
    const int height = std::max(1, rootAttributes.height / 2);
    XSetWindowAttributes set{};
    set.background_pixmap = XNone;
    set.event_mask = KeyPressMask | StructureNotifyMask | ExposureMask | VisibilityChangeMask;
    const RainWindow made =
        createRainWindow(display, root_, 0, 0, width, height, set, CWBackPixmap | CWEventMask);
    const Window window = made.window;
    ownWindows_.push_back(std::make_unique<OwnWindow>(display, window, made.colormap));
    XStoreName(display, window, "Misto");
    XClassHint hint{const_cast<char*>("misto"), const_cast<char*>("Misto")};
    XSetClassHint(display, window, &hint);
    deleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow_, 1);
    addScreen(window, attributesOf(display, window), pictureBehind(desktop));
    XMapWindow(display, window);
}

// One full-screen run a display: the first takes a selection; a second finds it owned.
bool Run::claimFullScreen() {
    Display* display = display_.get();
    const std::string name = "_MISTO_FULLSCREEN_S" + std::to_string(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.c_str(), False);
    XGrabServer(display);
    const bool free = XGetSelectionOwner(display, selection) == XNone;
    if (free) {
        const Window owner = XCreateSimpleWindow(display, root_, 0, 0, 1, 1, 0, 0, 0);
        ownWindows_.push_back(std::make_unique<OwnWindow>(display, owner));
        XSetSelectionOwner(display, selection, owner, CurrentTime);
    }
    XUngrabServer(display);
    XSync(display, False);
    return free;
}

void Run::grabInput(Window window) {
    Display* display = display_.get();
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
    if (XQueryPointer(display, root_, &rootReturn, &child, &x, &y, &wx, &wy, &mask)) {
        mouse_.moved(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y));
    }
}

void Run::setUpFullScreen() {
    Display* display = display_.get();
    if (!claimFullScreen()) {
        std::fputs("misto: another misto --fullscreen runs on this display\n", stderr);
        end(0);
        return;
    }
    XWindowAttributes rootAttributes{};
    XGetWindowAttributes(display, root_, &rootAttributes);
    const std::optional<Picture> desktop = rootPicture(rootAttributes);
    const Picture whole = pictureBehind(desktop);
    for (const MonitorPlace& place :
         monitorPlaces(display, root_, rootAttributes.width, rootAttributes.height)) {
        XSetWindowAttributes set{};
        set.background_pixmap = XNone;
        set.override_redirect = True;
        set.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask | ExposureMask |
                         StructureNotifyMask | VisibilityChangeMask;
        const RainWindow made =
            createRainWindow(display, root_, place.x, place.y, place.width, place.height, set,
                             CWBackPixmap | CWOverrideRedirect | CWEventMask);
        const Window window = made.window;
        ownWindows_.push_back(std::make_unique<OwnWindow>(display, window, made.colormap));
        // The captured desktop is cut into the monitors; another picture covers each whole.
        Picture part = desktop && desktop->width == rootAttributes.width
                           ? cropPicture(*desktop, place.x, place.y, place.width, place.height)
                           : whole;
        addScreen(window, attributesOf(display, window), std::move(part));
        XMapRaised(display, window);
    }
    XSync(display, False);
    grabInput(screens_.front()->window());
}

XScreenRain* Run::screenOf(Window window) {
    for (const auto& screen : screens_) {
        if (screen->window() == window) return screen.get();
    }
    return nullptr;
}

bool Run::anyBusy() const {
    return std::any_of(screens_.begin(), screens_.end(),
                       [](const auto& screen) { return screen->busy(); });
}

bool Run::anyShown() const {
    return std::any_of(screens_.begin(), screens_.end(),
                       [](const auto& screen) { return screen->shown(); });
}

bool Run::monitorOn() {
    if (!power_) return true;
    const bool on = power_->on(steadyMs());
    // The monitor kept nothing of what it showed before it went off.
    if (power_->takeCameBack()) {
        for (const auto& screen : screens_) screen->exposed();
    }
    return on;
}

void Run::handle(const XEvent& event) {
    const bool fullScreen = options_.target == DrawTarget::FullScreen;
    if (event.type == shmCompletion_) {
        const auto& done = reinterpret_cast<const XShmCompletionEvent&>(event);
        if (XScreenRain* screen = screenOf(done.drawable)) screen->completed();
        return;
    }
    XScreenRain* screen = screenOf(event.xany.window);
    switch (event.type) {
        case ConfigureNotify:
            if (screen != nullptr && !fullScreen) {
                screen->resize(event.xconfigure.width, event.xconfigure.height);
            }
            break;
        case Expose:
            if (screen != nullptr) screen->exposed();
            break;
        // Nobody sees an unmapped or wholly covered window: its rain rests until it shows again.
        case MapNotify:
            if (screen != nullptr) screen->setShown(true);
            break;
        case UnmapNotify:
            if (screen != nullptr) screen->setShown(false);
            break;
        case VisibilityNotify:
            if (screen != nullptr) {
                screen->setShown(event.xvisibility.state != VisibilityFullyObscured);
            }
            break;
        case DestroyNotify:
            if (screenOf(event.xdestroywindow.window) != nullptr) end(0);
            break;
        case KeyPress: {
            if (fullScreen) {
                end(0);
                break;
            }
            const KeySym key = XLookupKeysym(const_cast<XKeyEvent*>(&event.xkey), 0);
            if (key == XK_Escape || key == XK_q || key == XK_Q) end(0);
            break;
        }
        case ButtonPress:
            if (fullScreen) end(0);
            break;
        case MotionNotify:
            if (fullScreen && mouse_.moved(static_cast<std::uint16_t>(event.xmotion.x_root),
                                           static_cast<std::uint16_t>(event.xmotion.y_root))) {
                end(0);
            }
            break;
        case ClientMessage:
            if (deleteWindow_ != XNone &&
                static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_)
                end(0);
            break;
        default:
            break;
    }
}

void Run::readSignals() {
    while (const int signal = signals_.take()) {
        if (signal == SIGUSR1) {
            for (const auto& screen : screens_) screen->restart();
        } else {
            end(0);
        }
    }
}

int Run::go() {
    openDisplay();
    Display* display = display_.get();
    settings_ = settingsWithRestart(options_.choice.settings, options_.choice.restartSeconds);
    // The rain's clock moves one delay a frame, as misto-render's moves 20 ms: the picture
    // after N frames is the same however late the frames come.
    frameMs_ = static_cast<std::uint32_t>(std::max(1, options_.delayMicroseconds / 1000));

    switch (options_.target) {
        case DrawTarget::GivenWindow:
            setUpGivenWindow();
            break;
        case DrawTarget::Root:
            setUpRoot();
            break;
        case DrawTarget::OwnWindow:
            setUpOwnWindow();
            break;
        case DrawTarget::FullScreen:
            setUpFullScreen();
            break;
    }
    if (options_.target != DrawTarget::GivenWindow) {
        dpms_ = std::make_unique<XDpms>(display);
        power_ = std::make_unique<MonitorPowerWatch>(*dpms_, 1000);
    }
    XSync(display, False);
    readSignals();

    const auto delay = std::chrono::microseconds(options_.delayMicroseconds);
    Clock::time_point next = Clock::now();
    bool finishing = false;
    while (!ended_) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            handle(event);
        }
        if (const int error = XErrors::take()) {
            // The window went away under the rain: its host is done with it. Anything else is
            // a fault worth a word.
            if (error != BadWindow && error != BadDrawable) {
                std::fprintf(stderr, "misto: the X server refused a request (error %d)\n", error);
                end(1);
            }
            end(0);
            break;
        }
        readSignals();
        if (ended_) break;

        const bool busy = anyBusy();
        // While nobody can see the rain, nothing is stepped, traced or sent, and the loop wakes
        // only for events, signals and the monitor's next answer.
        const bool seen = monitorOn() && anyShown();
        if (finishing) {
            if (!busy) break;
        } else if (seen && !busy && Clock::now() >= next) {
            ++frames_;
            for (const auto& screen : screens_) {
                if (screen->shown()) screen->frame(frameMs_);
            }
            XFlush(display);
            next += delay;
            if (next < Clock::now()) next = Clock::now();
            finishing = options_.frames > 0 && frames_ >= options_.frames;
            continue;
        }

        // Waits to the microsecond: a wait cut to whole milliseconds asked for no wait at all
        // in the last millisecond before a frame, and the loop spun through it.
        long long waitNs = 100'000'000;
        bool waitForEvents = false;
        if (!seen && !finishing) {
            if (anyShown()) {
                // The monitor is off: asked again once its answer is old.
                const auto untilAsk = static_cast<long long>(power_->untilNextAsk(steadyMs()));
                waitNs = std::max<long long>(untilAsk * 1'000'000, 1'000'000);
            } else {
                // Only an event (the window shown again) or a signal can change anything.
                waitForEvents = true;
            }
        } else if (!busy && !finishing) {
            const auto wait =
                std::chrono::duration_cast<std::chrono::nanoseconds>(next - Clock::now());
            waitNs = std::clamp<long long>(wait.count(), 0, waitNs);
        }
        const timespec timeout{static_cast<time_t>(waitNs / 1'000'000'000),
                               static_cast<long>(waitNs % 1'000'000'000)};
        pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0},
                         {signals_.descriptor(), POLLIN, 0}};
        ppoll(fds, 2, waitForEvents ? nullptr : &timeout, nullptr);
    }
    XSync(display, False);
    screens_.clear();
    ownWindows_.clear();
    // --frames N leaves its last picture, as documented; any other end gives the root back.
    if (rootSnapshot_ && !finishing) rootSnapshot_->putBack();
    XSync(display, False);
    return exitCode_;
}

}  // namespace

int main(int argc, char** argv) {
    // The signals that end or restart the rain are blocked before anything else, so that a
    // SIGTERM during start-up waits for the watcher too; a second after one that ends the rain,
    // the watcher ends the process itself, however stuck it is.
    sigset_t handled;
    sigemptyset(&handled);
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) sigaddset(&handled, s);
    pthread_sigmask(SIG_BLOCK, &handled, nullptr);
    std::unique_ptr<SignalWatch> signals;
    try {
        signals = std::make_unique<SignalWatch>(handled, SIGUSR1, std::chrono::seconds(1));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "misto: %s\n", e.what());
        return 1;
    }

    MistoOptions options;
    try {
        options = parseMistoOptions(std::vector<std::string>(argv + 1, argv + argc),
                                    std::getenv("XSCREENSAVER_WINDOW"));
    } catch (const SwitchError& e) {
        std::fprintf(stderr, "misto: %s\n", e.what());
        return 1;
    }
    if (options.help) {
        std::fputs(mistoUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("misto %s\nCopyright (c) Tarnwick Labs. All rights reserved.\n", MISTO_VERSION);
        return 0;
    }
    try {
        Run run(options, argc > 0 ? argv[0] : nullptr, *signals);
        return run.go();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "misto: %s\n", e.what());
        return 1;
    }
}
