// The yardstick of bench/scripts/wayland_cpu.sh: what showing a whole new frame every 20 ms costs
// on this compositor. A layer surface covers the first output on the overlay layer, as misto's
// does, and every 20 ms one of two wl_shm buffers the output's size is attached with damage over
// all of it and committed; a buffer the compositor still holds is waited for until it is
// released. The two buffers hold different pictures, so each commit shows a new one. Runs until
// SIGTERM.
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/wayland/wayland_proxy.h"

namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

struct Globals {
    Proxy<wl_compositor> compositor;
    Proxy<wl_shm> shm;
    Proxy<zwlr_layer_shell_v1> layerShell;
    Proxy<wl_output> output;
    std::int32_t scale = 1;
};

void outputGeometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                    std::int32_t, const char*, const char*, std::int32_t) {}
void outputMode(void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {}
void outputDone(void*, wl_output*) {}
void outputScale(void* data, wl_output*, std::int32_t factor) {
    static_cast<Globals*>(data)->scale = factor;
}
// Name and description come from version 4, above the one bound.
void outputText(void*, wl_output*, const char*) {}
const wl_output_listener outputListener = {&outputGeometry, &outputMode, &outputDone,
                                           &outputScale,    &outputText, &outputText};

void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t offered) {
    auto& globals = *static_cast<Globals*>(data);
    const auto bind = [&](const wl_interface* kind, std::uint32_t wanted) {
        return wl_registry_bind(registry, name, kind, std::min(offered, wanted));
    };
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        globals.compositor.reset(static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4)));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        globals.shm.reset(static_cast<wl_shm*>(bind(&wl_shm_interface, 1)));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        globals.layerShell.reset(
            static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 1)));
    } else if (std::strcmp(interface, wl_output_interface.name) == 0 && !globals.output) {
        globals.output.reset(static_cast<wl_output*>(bind(&wl_output_interface, 2)));
        wl_output_add_listener(globals.output.get(), &outputListener, &globals);
    }
}
void globalRemoved(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registryListener = {&global, &globalRemoved};

struct LayerState {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool configured = false;
    bool closed = false;
};

void configure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
               std::uint32_t height) {
    auto& state = *static_cast<LayerState*>(data);
    state.width = width;
    state.height = height;
    state.configured = true;
    zwlr_layer_surface_v1_ack_configure(layer, serial);
}
void closed(void* data, zwlr_layer_surface_v1*) { static_cast<LayerState*>(data)->closed = true; }
const zwlr_layer_surface_v1_listener layerListener = {&configure, &closed};

// One buffer of a pool, and whether the compositor holds it.
struct Buffer {
    Proxy<wl_buffer> buffer;
    bool busy = false;
};

void released(void* data, wl_buffer*) { static_cast<Buffer*>(data)->busy = false; }
const wl_buffer_listener bufferListener = {&released};

// The memory both buffers lie in, unmapped when it goes.
class SharedMemory {
  public:
    explicit SharedMemory(std::size_t size) : size_(size) {
        fd_ = memfd_create("present-reference-wayland", MFD_CLOEXEC);
        if (fd_ < 0 || ftruncate(fd_, static_cast<off_t>(size)) < 0) return;
        void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
        if (memory != MAP_FAILED) pixels_ = static_cast<std::uint32_t*>(memory);
    }
    ~SharedMemory() {
        if (pixels_ != nullptr) munmap(pixels_, size_);
        if (fd_ >= 0) close(fd_);
    }
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    int fd() const { return fd_; }
    std::uint32_t* pixels() const { return pixels_; }

  private:
    std::size_t size_;
    int fd_ = -1;
    std::uint32_t* pixels_ = nullptr;
};

// Reads and dispatches the connection's events, waiting at most until `until`; false when the
// connection failed.
bool pump(wl_display* display, Clock::time_point until) {
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) return false;
    }
    if (wl_display_flush(display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display);
        return false;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    pollfd fd = {wl_display_get_fd(display), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
    if ((fd.revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
        if (wl_display_read_events(display) < 0) return false;
    } else {
        wl_display_cancel_read(display);
    }
    return wl_display_dispatch_pending(display) >= 0;
}

int fail(const char* message) {
    std::fprintf(stderr, "present-reference-wayland: %s\n", message);
    return 1;
}

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return fail("cannot connect to the Wayland display");
    const int status = [display]() {
        Globals globals;
        Proxy<wl_registry> registry(wl_display_get_registry(display));
        wl_registry_add_listener(registry.get(), &registryListener, &globals);
        wl_display_roundtrip(display);
        if (!globals.compositor || !globals.shm || !globals.layerShell || !globals.output) {
            return fail("the compositor offers no wl_compositor, wl_shm, layer shell or output");
        }
        wl_display_roundtrip(display);

        // Damage in buffer pixels and the buffer's scale need wl_compositor 4 and 3.
        if (wl_compositor_get_version(globals.compositor.get()) < 4) {
            return fail("the compositor's wl_compositor is older than version 4");
        }
        Proxy<wl_surface> surface(wl_compositor_create_surface(globals.compositor.get()));
        wl_surface_set_buffer_scale(surface.get(), globals.scale);
        Proxy<zwlr_layer_surface_v1> layer(zwlr_layer_shell_v1_get_layer_surface(
            globals.layerShell.get(), surface.get(), globals.output.get(),
            ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "present-reference"));
        LayerState state;
        zwlr_layer_surface_v1_add_listener(layer.get(), &layerListener, &state);
        zwlr_layer_surface_v1_set_anchor(layer.get(), ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                          ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                          ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                          ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_exclusive_zone(layer.get(), -1);
        zwlr_layer_surface_v1_set_size(layer.get(), 0, 0);
        wl_surface_commit(surface.get());
        while (!state.configured && !state.closed) {
            if (wl_display_dispatch(display) < 0) return fail("the connection failed");
        }
        if (state.closed || state.width == 0 || state.height == 0) {
            return fail("the layer surface was not given a size");
        }

        const std::int32_t width = static_cast<std::int32_t>(state.width) * globals.scale;
        const std::int32_t height = static_cast<std::int32_t>(state.height) * globals.scale;
        const std::size_t pixelsEach = static_cast<std::size_t>(width) * height;
        SharedMemory memory(pixelsEach * 4 * 2);
        if (memory.pixels() == nullptr) return fail("no shared memory");
        for (std::size_t i = 0; i < pixelsEach; ++i) {
            const auto x = static_cast<std::uint32_t>(i % width);
            const auto y = static_cast<std::uint32_t>(i / width);
            memory.pixels()[i] = (x * 7 + y * 13) & 0xffffff;
            memory.pixels()[pixelsEach + i] = (x * 13 + y * 7) & 0xffffff;
        }
        wl_shm_pool* pool = wl_shm_create_pool(globals.shm.get(), memory.fd(),
                                               static_cast<std::int32_t>(pixelsEach * 4 * 2));
        std::array<Buffer, 2> buffers;
        for (std::size_t i = 0; i < buffers.size(); ++i) {
            buffers[i].buffer.reset(
                wl_shm_pool_create_buffer(pool, static_cast<std::int32_t>(pixelsEach * 4 * i),
                                          width, height, width * 4, WL_SHM_FORMAT_XRGB8888));
            wl_buffer_add_listener(buffers[i].buffer.get(), &bufferListener, &buffers[i]);
        }
        wl_shm_pool_destroy(pool);

        std::signal(SIGTERM, requestStop);
        std::signal(SIGINT, requestStop);
        std::size_t next = 0;
        auto due = Clock::now();
        while (!stopRequested && !state.closed) {
            Buffer& buffer = buffers[next];
            if (buffer.busy) {
                // Held by the compositor: wait for its release, a tick at most at a time.
                if (!pump(display, Clock::now() + std::chrono::milliseconds(20))) {
                    return fail("the connection failed");
                }
                continue;
            }
            wl_surface_attach(surface.get(), buffer.buffer.get(), 0, 0);
            wl_surface_damage_buffer(surface.get(), 0, 0, width, height);
            wl_surface_commit(surface.get());
            buffer.busy = true;
            next = 1 - next;
            due += std::chrono::milliseconds(20);
            while (!stopRequested && Clock::now() < due) {
                if (!pump(display, due)) return fail("the connection failed");
            }
        }
        return 0;
    }();
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return status;
}
