#include "app/wayland/output_capture.h"

#include <memory>

#include "app/wayland/shm_buffer.h"
#include "picture/picture_turn.h"

namespace {

// How the copy of an output lies against what its user sees: the output's transform, in
// which the compositor keeps the output's own pixels.
PictureTurn turnOf(std::int32_t transform) {
    return PictureTurn{transform & 3, (transform & 4) != 0};
}

// One copy of an output as its frame's events tell it.
struct Capture {
    WaylandDisplay* display;
    std::unique_ptr<ShmBuffer> copy;
    std::uint32_t format = 0;
    bool yInverted = false;
    bool done = false;
    bool ready = false;

    static void onBuffer(void* data, zwlr_screencopy_frame_v1* frame, std::uint32_t format,
                         std::uint32_t width, std::uint32_t height, std::uint32_t stride) {
        auto& self = *static_cast<Capture*>(data);
        if (self.copy || !readable(format)) {
            if (!self.copy) self.done = true;
            return;
        }
        self.format = format;
        self.copy = std::make_unique<ShmBuffer>(
            self.display->shm(), static_cast<std::int32_t>(width),
            static_cast<std::int32_t>(height), static_cast<std::int32_t>(stride), format);
        zwlr_screencopy_frame_v1_copy(frame, self.copy->buffer());
    }
    static void onFlags(void* data, zwlr_screencopy_frame_v1*, std::uint32_t flags) {
        static_cast<Capture*>(data)->yInverted =
            (flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
    }
    static void onReady(void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t,
                        std::uint32_t) {
        auto& self = *static_cast<Capture*>(data);
        self.ready = true;
        self.done = true;
    }
    static void onFailed(void* data, zwlr_screencopy_frame_v1*) {
        static_cast<Capture*>(data)->done = true;
    }

    static bool readable(std::uint32_t format) {
        return format == WL_SHM_FORMAT_XRGB8888 || format == WL_SHM_FORMAT_ARGB8888 ||
               format == WL_SHM_FORMAT_XBGR8888 || format == WL_SHM_FORMAT_ABGR8888;
    }

    Picture picture() const {
        Picture out(copy->width(), copy->height());
        // Little-endian 32-bit pixels: XRGB lies in memory as B, G, R, X; XBGR as R, G, B, X.
        const bool bgr = format == WL_SHM_FORMAT_XRGB8888 || format == WL_SHM_FORMAT_ARGB8888;
        for (std::int32_t y = 0; y < out.height; ++y) {
            const std::int32_t from = yInverted ? out.height - 1 - y : y;
            const std::uint8_t* row =
                copy->pixels() + static_cast<std::size_t>(from) * copy->stride();
            for (std::int32_t x = 0; x < out.width; ++x) {
                const std::uint8_t* p = row + static_cast<std::size_t>(x) * 4;
                std::uint8_t* q = out.at(x, y);
                q[0] = bgr ? p[2] : p[0];
                q[1] = p[1];
                q[2] = bgr ? p[0] : p[2];
            }
        }
        return out;
    }
};

}  // namespace

std::optional<Picture> captureOutput(WaylandDisplay& display, const WaylandOutput& output) {
    if (display.screencopy() == nullptr) return std::nullopt;
    Capture capture{&display, nullptr};
    Proxy<zwlr_screencopy_frame_v1> frame(
        zwlr_screencopy_manager_v1_capture_output(display.screencopy(), 0, output.output.get()));
    static const zwlr_screencopy_frame_v1_listener listener = {
        &Capture::onBuffer, &Capture::onFlags, &Capture::onReady, &Capture::onFailed,
        // Events of later versions than the one bound, never sent.
        nullptr, nullptr, nullptr};
    zwlr_screencopy_frame_v1_add_listener(frame.get(), &listener, &capture);
    while (!capture.done) display.roundtrip();
    if (!capture.ready) return std::nullopt;
    if (output.transform == WL_OUTPUT_TRANSFORM_NORMAL) return capture.picture();
    return uprightPicture(capture.picture(), turnOf(output.transform));
}
