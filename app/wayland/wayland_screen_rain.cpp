#include "app/wayland/wayland_screen_rain.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "picture/picture_scale.h"
#include "picture/pixel_format.h"
#include "render/tracer/cosntable.h"

namespace {

// A buffer that missed areas of as many pixels as it has (they overlap from frame to frame) is
// copied whole, and so is one that missed this many areas (held for many frames).
constexpr std::size_t kMostStaleAreas = 4096;

}  // namespace

struct WaylandScreenRain::Listeners {
    static void configure(void* data, zwlr_layer_surface_v1*, std::uint32_t serial,
                          std::uint32_t width, std::uint32_t height) {
        static_cast<WaylandScreenRain*>(data)->configure(serial, width, height);
    }
    static void closed(void* data, zwlr_layer_surface_v1*) {
        static_cast<WaylandScreenRain*>(data)->closed_ = true;
    }
    static void frameDone(void* data, wl_callback*, std::uint32_t) {
        static_cast<WaylandScreenRain*>(data)->frameCallback_.reset();
    }
};

WaylandScreenRain::WaylandScreenRain(WaylandDisplay& display, const WaylandOutput& output,
                                     Picture under, const SaverSettings& settings,
                                     std::uint32_t seed)
    : display_(display),
      output_(output),
      scale_(output.scale),
      under_(std::move(under)),
      loop_(settings, kCosnTable, 0, seed) {
    surface_.reset(wl_compositor_create_surface(display.compositor()));
    // The rain is drawn at the output's pixels; the compositor shows them one to one.
    if (display.compositorVersion() >= 3) wl_surface_set_buffer_scale(surface_.get(), scale_);
    layer_.reset(zwlr_layer_shell_v1_get_layer_surface(display.layerShell(), surface_.get(),
                                                       output.output.get(),
                                                       ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "misto"));
    static const zwlr_layer_surface_v1_listener listener = {&Listeners::configure,
                                                            &Listeners::closed};
    zwlr_layer_surface_v1_add_listener(layer_.get(), &listener, this);
    zwlr_layer_surface_v1_set_anchor(
        layer_.get(), ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                          ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    // Over panels and docks too, not beside them.
    zwlr_layer_surface_v1_set_exclusive_zone(layer_.get(), -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        layer_.get(), ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    zwlr_layer_surface_v1_set_size(layer_.get(), 0, 0);
    wl_surface_commit(surface_.get());
    display.placeSurface(surface_.get(), output);
}

WaylandScreenRain::~WaylandScreenRain() {
    display_.forgetSurface(surface_.get());
    frameCallback_.reset();
    layer_.reset();
    surface_.reset();
    for (Slot& slot : slots_) slot.buffer.reset();
}

void WaylandScreenRain::configure(std::uint32_t serial, std::uint32_t width, std::uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(layer_.get(), serial);
    const auto w = static_cast<std::int32_t>(width) * scale_;
    const auto h = static_cast<std::int32_t>(height) * scale_;
    if (w > 0 && h > 0 && (w != width_ || h != height_)) prepare(w, h);
}

void WaylandScreenRain::prepare(std::int32_t width, std::int32_t height) {
    width_ = width;
    height_ = height;
    pictures_.reset();
    traced_ = std::make_unique<MemorySurface>(static_cast<std::uint32_t>(width),
                                              static_cast<std::uint32_t>(height), 32);
    fillSurface(under_.width == width && under_.height == height
                    ? under_
                    : scalePicture(under_, width, height),
                *traced_);
    pictures_ = std::make_unique<MemoryPictures>(traced_->description());
    loop_.prepare(width, height, channelMasksFor(32));
    for (Slot& slot : slots_) {
        slot.buffer = std::make_unique<ShmBuffer>(display_.shm(), width, height, width * 4,
                                                  WL_SHM_FORMAT_XRGB8888);
        slot.wholeStale = true;
        slot.stale.clear();
        slot.stalePixels = 0;
    }
}

bool WaylandScreenRain::ready() const {
    if (closed_ || !pictures_ || frameCallback_ || !output_.powered) return false;
    return std::any_of(slots_.begin(), slots_.end(),
                       [](const Slot& slot) { return !slot.buffer->busy(); });
}

void WaylandScreenRain::frame(std::uint32_t elapsedMs) {
    clock_ += elapsedMs;
    loop_.frame(*pictures_, clock_);
    send(areasToSend(loop_.plan(clock_), loop_.areas(), width_, height_));
}

void WaylandScreenRain::send(const std::vector<PixelArea>& areas) {
    if (areas.empty()) return;
    for (Slot& slot : slots_) {
        if (slot.wholeStale) continue;
        slot.stale.insert(slot.stale.end(), areas.begin(), areas.end());
        for (const PixelArea& a : areas) slot.stalePixels += a.pixels();
        if (slot.stale.size() > kMostStaleAreas ||
            slot.stalePixels >= PixelArea{0, 0, width_, height_}.pixels()) {
            slot.wholeStale = true;
        }
    }
    // ready() made sure one is free.
    Slot& slot = !slots_[0].buffer->busy() ? slots_[0] : slots_[1];
    copyInto(slot);
    wl_surface_attach(surface_.get(), slot.buffer->buffer(), 0, 0);
    for (const PixelArea& a : areas) {
        if (display_.compositorVersion() >= 4) {
            wl_surface_damage_buffer(surface_.get(), a.left, a.top, a.width(), a.height());
        } else {
            // Before damage_buffer, damage is in surface coordinates.
            wl_surface_damage(surface_.get(), a.left / scale_, a.top / scale_,
                              (a.width() + scale_ - 1) / scale_ + 1,
                              (a.height() + scale_ - 1) / scale_ + 1);
        }
    }
    frameCallback_.reset(wl_surface_frame(surface_.get()));
    static const wl_callback_listener listener = {&Listeners::frameDone};
    wl_callback_add_listener(frameCallback_.get(), &listener, this);
    wl_surface_commit(surface_.get());
    slot.buffer->handOver();
}

void WaylandScreenRain::copyInto(Slot& slot) {
    const SurfaceDesc to = slot.buffer->description();
    const auto copy = [&](const PixelArea& a) {
        const std::size_t bytes = static_cast<std::size_t>(a.width()) * 4;
        for (std::int32_t y = a.top; y < a.bottom; ++y) {
            std::memcpy(
                to.bits + static_cast<std::size_t>(y) * to.pitch +
                    static_cast<std::size_t>(a.left) * 4,
                traced_->row(static_cast<std::uint32_t>(y)) + static_cast<std::size_t>(a.left) * 4,
                bytes);
        }
    };
    if (slot.wholeStale) {
        copy(PixelArea{0, 0, width_, height_});
    } else {
        for (const PixelArea& a : slot.stale) copy(a);
    }
    slot.wholeStale = false;
    slot.stale.clear();
    slot.stalePixels = 0;
}
