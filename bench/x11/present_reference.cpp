// The yardstick of bench/scripts/x11_cpu.sh: what showing a whole new frame every 20 ms costs on
// this X server. One shared-memory image the size of the root window goes to the root with
// XShmPutImage on each tick, waiting for the server's completion event as misto does, until
// SIGTERM.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

}  // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "present-reference-x11: cannot open the display\n");
        return 1;
    }
    if (!XShmQueryExtension(display)) {
        std::fprintf(stderr, "present-reference-x11: the server has no MIT-SHM\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    XShmSegmentInfo segment{};
    XImage* image = XShmCreateImage(display, DefaultVisual(display, screen),
                                    DefaultDepth(display, screen), ZPixmap, nullptr, &segment,
                                    DisplayWidth(display, screen), DisplayHeight(display, screen));
    segment.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * image->height,
                           IPC_CREAT | 0600);
    if (segment.shmid < 0) {
        std::fprintf(stderr, "present-reference-x11: no shared memory\n");
        return 1;
    }
    segment.shmaddr = image->data = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
    segment.readOnly = False;
    XShmAttach(display, &segment);
    XSync(display, False);
    // Marked for removal at once: the segment goes with the last detach, even on a crash.
    shmctl(segment.shmid, IPC_RMID, nullptr);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) XPutPixel(image, x, y, (x * 7 + y * 13) & 0xffffff);
    }

    std::signal(SIGTERM, requestStop);
    std::signal(SIGINT, requestStop);
    const int completion = XShmGetEventBase(display) + ShmCompletion;
    GC gc = XCreateGC(display, root, 0, nullptr);
    auto next = std::chrono::steady_clock::now();
    while (!stopRequested) {
        XShmPutImage(display, root, gc, image, 0, 0, 0, 0, image->width, image->height, True);
        XEvent event;
        do {
            XNextEvent(display, &event);
        } while (event.type != completion);
        next += std::chrono::milliseconds(20);
        std::this_thread::sleep_until(next);
    }
    XFreeGC(display, gc);
    XShmDetach(display, &segment);
    XSync(display, False);
    XDestroyImage(image);
    shmdt(segment.shmaddr);
    XCloseDisplay(display);
    return 0;
}
