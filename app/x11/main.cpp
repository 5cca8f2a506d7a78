// misto: the rain on X11, on a window its host hands over, the root, a window of its own or
// every monitor.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/misto_options.h"
#include "app/monitor_power_watch.h"
#include "app/mouse_rule.h"
#include "app/posix/misto_start.h"
#include "app/posix/signal_watch.h"
#include "app/x11/x_dpms.h"
#include "app/x11/x_draw_targets.h"
#include "app/x11/x_errors.h"
#include "app/x11/x_full_screen.h"
#include "app/x11/x_rain_screens.h"
#include "app/x11/xlib.h"
#include "engine/frame_pacer.h"
#include "foundation/basic_error.h"

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

DisplayHandle openDisplay() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        const char* name = XDisplayName(nullptr);
        throw BasicError(std::string("cannot open the X display \"") + (name ? name : "") + "\"");
    }
    DisplayHandle handle(display);
    XErrors::install();
    return handle;
}

// The event type of a finished shared-memory copy; -1 without the extension. Asked before any
// other extension: any other call of a missing extension makes Xlib print a warning.
int shmCompletionType(Display* display) {
    if (!XShmQueryExtension(display)) return -1;
    return XShmGetEventBase(display) + ShmCompletion;
}

// What one run draws on and how it ends.
class Run {
  public:
    Run(const MistoOptions& options, const char* argv0, SignalWatch& signals)
        : options_(options),
          signals_(signals),
          display_(openDisplay()),
          shmCompletion_(shmCompletionType(display_.get())),
          under_(options.image, argv0),
          screens_(display_.get(),
                   settingsWithRestart(options.choice.settings, options.choice.restartSeconds),
                   options.choice.seed, !options.noShm) {}

    int go();

  private:
    void setUp();
    void takeEvents();
    void handle(const XEvent& event);
    bool endOnRefusedRequest();
    void readSignals();
    bool monitorOn();
    void drawFrame(FramePacer& pacer);
    std::optional<std::chrono::nanoseconds> restFor(bool seen, bool busy, const FramePacer& pacer);
    void rest(std::optional<std::chrono::nanoseconds> wait);
    void finish(bool allDrawn);
    void end(int code) {
        if (!ended_) exitCode_ = code;
        ended_ = true;
    }

    const MistoOptions& options_;
    SignalWatch& signals_;
    DisplayHandle display_;
    int shmCompletion_;
    Atom deleteWindow_ = XNone;
    PictureUnderRain under_;
    XRainScreens screens_;
    MouseRule mouse_;
    // Standalone, misto rests while the monitor is powered down; a host watches that itself.
    std::unique_ptr<XDpms> dpms_;
    std::unique_ptr<MonitorPowerWatch> power_;
    bool ended_ = false;
    int exitCode_ = 0;
};

int Run::go() {
    setUp();
    XSync(display_.get(), False);
    readSignals();

    FramePacer pacer(std::chrono::microseconds(options_.delayMicroseconds), options_.frames,
                     Clock::now());
    while (!ended_) {
        takeEvents();
        if (endOnRefusedRequest()) break;
        readSignals();
        if (ended_) break;

        const bool busy = screens_.anyBusy();
        // While nobody can see the rain, nothing is stepped, traced or sent, and the loop wakes
        // only for events, signals and the monitor's next answer.
        const bool seen = monitorOn() && screens_.anyShown();
        if (pacer.allDrawn()) {
            if (!busy) break;
        } else if (seen && !busy && pacer.due(Clock::now())) {
            drawFrame(pacer);
            continue;
        }
        rest(restFor(seen, busy, pacer));
    }
    finish(pacer.allDrawn());
    return exitCode_;
}

void Run::setUp() {
    Display* display = display_.get();
    switch (options_.target) {
        case DrawTarget::GivenWindow:
            rainOnHostWindow(display, static_cast<Window>(options_.windowId), under_, screens_);
            break;
        case DrawTarget::Root:
            rainOnRoot(display, under_, screens_);
            break;
        case DrawTarget::OwnWindow:
            deleteWindow_ = rainOnOwnWindow(display, under_, screens_);
            break;
        case DrawTarget::FullScreen:
            if (!rainFullScreen(display, under_, screens_, mouse_)) {
                std::fputs("misto: another misto --fullscreen runs on this display\n", stderr);
                end(0);
            }
            break;
    }
    if (options_.target != DrawTarget::GivenWindow) {
        dpms_ = std::make_unique<XDpms>(display);
        power_ = std::make_unique<MonitorPowerWatch>(*dpms_, 1000);
    }
}

void Run::takeEvents() {
    while (XPending(display_.get()) > 0) {
        XEvent event;
        XNextEvent(display_.get(), &event);
        handle(event);
    }
}

void Run::handle(const XEvent& event) {
    const bool fullScreen = options_.target == DrawTarget::FullScreen;
    if (event.type == shmCompletion_) {
        const auto& done = reinterpret_cast<const XShmCompletionEvent&>(event);
        if (XScreenRain* screen = screens_.of(done.drawable)) screen->completed();
        return;
    }
    XScreenRain* screen = screens_.of(event.xany.window);
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
            if (screens_.of(event.xdestroywindow.window) != nullptr) end(0);
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

// Whether the server refused a request, which ends the run.
bool Run::endOnRefusedRequest() {
    const int error = XErrors::take();
    if (error == 0) return false;
    // The window went away under the rain: its host is done with it. Anything else is a fault
    // worth a word.
    if (error != BadWindow && error != BadDrawable) {
        std::fprintf(stderr, "misto: the X server refused a request (error %d)\n", error);
        end(1);
    }
    end(0);
    return true;
}

void Run::readSignals() {
    while (const int signal = signals_.take()) {
        if (signal == SIGUSR1) {
            for (const auto& screen : screens_.all()) screen->restart();
        } else {
            end(0);
        }
    }
}

bool Run::monitorOn() {
    if (!power_) return true;
    const bool on = power_->on(steadyMs());
    // The monitor kept nothing of what it showed before it went off.
    if (power_->takeCameBack()) {
        for (const auto& screen : screens_.all()) screen->exposed();
    }
    return on;
}

void Run::drawFrame(FramePacer& pacer) {
    for (const auto& screen : screens_.all()) {
        if (screen->shown()) screen->frame(pacer.stepMs());
    }
    XFlush(display_.get());
    pacer.drawn(Clock::now());
}

// How long the loop may sleep before it has anything to do; nothing: until an event or a signal.
std::optional<std::chrono::nanoseconds> Run::restFor(bool seen, bool busy,
                                                     const FramePacer& pacer) {
    // At most this long, so that the loop looks at the server's answers now and then.
    const std::chrono::nanoseconds longest = std::chrono::milliseconds(100);
    if (pacer.allDrawn()) return longest;
    if (!seen) {
        // Only an event (the window shown again) or a signal can change anything.
        if (!screens_.anyShown()) return std::nullopt;
        // The monitor is off: asked again once its answer is old.
        const std::chrono::nanoseconds untilAsk =
            std::chrono::milliseconds(power_->untilNextAsk(steadyMs()));
        return std::max<std::chrono::nanoseconds>(untilAsk, std::chrono::milliseconds(1));
    }
    if (busy) return longest;
    return std::min(pacer.untilDue(Clock::now()), longest);
}

void Run::rest(std::optional<std::chrono::nanoseconds> wait) {
    // Waits to the microsecond: a wait cut to whole milliseconds would ask for no wait at all in
    // the last millisecond before a frame, and the loop would spin through it.
    timespec timeout{};
    if (wait) {
        timeout.tv_sec = static_cast<time_t>(wait->count() / 1'000'000'000);
        timeout.tv_nsec = static_cast<long>(wait->count() % 1'000'000'000);
    }
    pollfd fds[2] = {{ConnectionNumber(display_.get()), POLLIN, 0},
                     {signals_.descriptor(), POLLIN, 0}};
    ppoll(fds, 2, wait ? &timeout : nullptr, nullptr);
}

void Run::finish(bool allDrawn) {
    XSync(display_.get(), False);
    // --frames N leaves its last picture, as documented; any other end gives the root back.
    screens_.end(!allDrawn);
    XSync(display_.get(), False);
}

// The Wayland host, installed and built beside misto: the folder of /proc/self/exe.
std::string waylandHost() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "misto-wayland";
    std::string path(self, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + "misto-wayland";
}

}  // namespace

int main(int argc, char** argv) {
    MistoStart start =
        startMisto(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), MISTO_WAYLAND_HOST != 0);
    if (start.exitStatus) return *start.exitStatus;
    const MistoOptions& options = start.options;
    if (runsOnWayland(options, std::getenv("WAYLAND_DISPLAY"))) {
        // The signals stay blocked across the exec, and any that came wait for the host.
        const std::string host = waylandHost();
        execv(host.c_str(), argv);
        if (options.wayland) {
            std::fprintf(stderr, "misto: --wayland: cannot start %s: %s\n", host.c_str(),
                         std::strerror(errno));
            return 1;
        }
        // Built without the Wayland host, misto covers what the compositor's X server shows.
    }
    try {
        Run run(options, argc > 0 ? argv[0] : nullptr, *start.signals);
        return run.go();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "misto: %s\n", e.what());
        return 1;
    }
}
