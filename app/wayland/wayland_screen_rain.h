#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/wayland/shm_buffer.h"
#include "app/wayland/wayland_display.h"
#include "engine/memory_pictures.h"
#include "engine/pixel_area.h"
#include "engine/screen_loop.h"
#include "picture/picture.h"
#include "render/tracer/memory_surface.h"
#include "settings/saver_settings.h"

// The rain on one output: a layer surface over everything on it (the overlay layer, anchored
// to every edge, taking the keyboard), the screen loop at the output's size in pixels traced
// into a picture in memory, and each frame's changed areas copied into one of two wl_shm
// buffers, the one the compositor does not hold, and committed with those areas as damage.
class WaylandScreenRain {
  public:
    // `under` is the picture behind the rain at any size. The rain's clock starts at 0; its
    // drops come from the output's own generator, started at `seed`.
    WaylandScreenRain(WaylandDisplay& display, const WaylandOutput& output, Picture under,
                      const SaverSettings& settings, std::uint32_t seed);
    ~WaylandScreenRain();
    WaylandScreenRain(const WaylandScreenRain&) = delete;
    WaylandScreenRain& operator=(const WaylandScreenRain&) = delete;

    const WaylandOutput& output() const { return output_; }
    // Whether a frame can go now: the surface is configured, the output is powered, the
    // compositor asked for the next frame and holds at most one of the two buffers.
    bool ready() const;
    // The compositor will show the surface no more.
    bool closed() const { return closed_; }
    // Moves the rain's clock on by `elapsedMs`, traces that frame and commits what changed.
    void frame(std::uint32_t elapsedMs);
    void restart() { loop_.restartNextFrame(); }

  private:
    struct Listeners;
    friend struct Listeners;

    // One of the two buffers and what of the traced picture it lacks.
    struct Slot {
        std::unique_ptr<ShmBuffer> buffer;
        bool wholeStale = true;
        std::vector<PixelArea> stale;
        std::int64_t stalePixels = 0;
    };

    void configure(std::uint32_t serial, std::uint32_t width, std::uint32_t height);
    void prepare(std::int32_t width, std::int32_t height);
    void send(const std::vector<PixelArea>& areas);
    void copyInto(Slot& slot);

    WaylandDisplay& display_;
    const WaylandOutput& output_;
    std::int32_t scale_;
    Picture under_;
    ScreenLoop loop_;
    std::uint32_t clock_ = 0;
    Proxy<wl_surface> surface_;
    Proxy<zwlr_layer_surface_v1> layer_;
    Proxy<wl_callback> frameCallback_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    bool closed_ = false;
    std::unique_ptr<MemorySurface> traced_;
    std::unique_ptr<MemoryPictures> pictures_;
    std::array<Slot, 2> slots_;
};
