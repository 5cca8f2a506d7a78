#include "app/wayland/output_capture.h"

#include <cstddef>
#include <memory>
#include <optional>

#include "app/wayland/shm_buffer.h"
#include "picture/packed_pixels.h"
#include "picture/picture_turn.h"
#include "picture/pixel_format.h"

namespace {

struct PixelLayout {
    int bytesPerPixel;
    ChannelMasks masks;
};

// How the wl_shm formats misto reads lay out a pixel, least significant byte first; the alpha
// of an A format is passed over. Nothing for any other format.
std::optional<PixelLayout> layoutOf(std::uint32_t format) {
    switch (format) {
        case WL_SHM_FORMAT_XRGB8888:
        case WL_SHM_FORMAT_ARGB8888:
            return PixelLayout{4, channelMasksFor(32)};
        case WL_SHM_FORMAT_XBGR8888:
        case WL_SHM_FORMAT_ABGR8888:
            return PixelLayout{4, {0x000000FFu, 0x0000FF00u, 0x00FF0000u}};
        case WL_SHM_FORMAT_RGBX8888:
        case WL_SHM_FORMAT_RGBA8888:
            return PixelLayout{4, {0xFF000000u, 0x00FF0000u, 0x0000FF00u}};
        case WL_SHM_FORMAT_BGRX8888:
        case WL_SHM_FORMAT_BGRA8888:
            return PixelLayout{4, {0x0000FF00u, 0x00FF0000u, 0xFF000000u}};
        case WL_SHM_FORMAT_XRGB2101010:
        case WL_SHM_FORMAT_ARGB2101010:
            return PixelLayout{4, kTenBitMasks};
        case WL_SHM_FORMAT_XBGR2101010:
        case WL_SHM_FORMAT_ABGR2101010:
            return PixelLayout{4, {0x000003FFu, 0x000FFC00u, 0x3FF00000u}};
        case WL_SHM_FORMAT_RGB888:
            return PixelLayout{3, channelMasksFor(24)};
        case WL_SHM_FORMAT_BGR888:
            return PixelLayout{3, {0x0000FFu, 0x00FF00u, 0xFF0000u}};
        case WL_SHM_FORMAT_RGB565:
            return PixelLayout{2, channelMasksFor(16)};
        case WL_SHM_FORMAT_BGR565:
            return PixelLayout{2, {0x001Fu, 0x07E0u, 0xF800u}};
        default:
            return std::nullopt;
    }
}

// How the copy of an output lies against what its user sees: the output's transform, in
// which the compositor keeps the output's own pixels.
PictureTurn turnOf(std::int32_t transform) {
    return PictureTurn{transform & 3, (transform & 4) != 0};
}

// One copy of an output as its frame's events tell it.
struct Capture {
    WaylandDisplay* display;
    std::unique_ptr<ShmBuffer> copy;
    PixelLayout layout{};
    bool yInverted = false;
    bool done = false;
    bool ready = false;

    static void onBuffer(void* data, zwlr_screencopy_frame_v1* frame, std::uint32_t format,
                         std::uint32_t width, std::uint32_t height, std::uint32_t stride) {
        auto& self = *static_cast<Capture*>(data);
        if (self.copy) return;
        const std::optional<PixelLayout> layout = layoutOf(format);
        // A size no output has, or rows shorter than their pixels, would be read past the end.
        constexpr std::uint32_t kLargest = 16384;
        if (!layout || width == 0 || height == 0 || width > kLargest || height > kLargest ||
            stride < width * static_cast<std::uint32_t>(layout->bytesPerPixel) ||
            stride > kLargest * 8) {
            self.done = true;
            return;
        }
        self.layout = *layout;
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

    Picture picture() const {
        const std::uint8_t* top = copy->pixels();
        std::ptrdiff_t step = copy->stride();
        if (yInverted) {
            top += static_cast<std::ptrdiff_t>(copy->height() - 1) * copy->stride();
            step = -step;
        }
        return pictureOfPackedPixels(PackedPixels{top, copy->width(), copy->height(), step,
                                                  layout.bytesPerPixel, layout.masks});
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
