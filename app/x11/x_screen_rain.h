#pragma once

#include <cstdint>
#include <memory>

#include "app/x11/x_frame_image.h"
#include "app/x11/xlib.h"
#include "engine/memory_pictures.h"
#include "engine/screen_loop.h"
#include "picture/picture.h"
#include "render/tracer/channel_masks.h"
#include "render/tracer/memory_surface.h"
#include "settings/saver_settings.h"

// The rain on one X window: the screen loop over an image of the window's size, the desktop
// picture behind the rain scaled to that size, and the frame's changed areas sent to the window.
class XScreenRain {
  public:
    // `desktop` is the picture behind the rain at any size. The rain's clock starts at 0; its
    // drops come from the window's own generator, started at `seed`.
    XScreenRain(Display* display, Window window, const XWindowAttributes& attributes,
                Picture desktop, const SaverSettings& settings, std::uint32_t seed, bool tryShm);
    ~XScreenRain();
    XScreenRain(const XScreenRain&) = delete;
    XScreenRain& operator=(const XScreenRain&) = delete;

    Window window() const { return window_; }
    bool shared() const { return image_->shared(); }
    // The server still reads the last frame's pixels: the next one must wait.
    bool busy() const { return image_->busy(); }
    void completed() { image_->completed(); }

    // Moves the rain's clock on by `elapsedMs`, traces that frame and sends what changed. The
    // clock moves only with the frames drawn, so the rain rests while nobody can see it and goes
    // on from where it was.
    void frame(std::uint32_t elapsedMs);
    // Whether the window can be seen: mapped and not wholly covered. A window shown again is sent
    // whole with its next frame.
    bool shown() const { return shown_; }
    void setShown(bool shown);
    // The window changed size: the picture and the rain start again at the new size.
    void resize(int width, int height);
    void exposed() { loop_.presentWholeNextFrame(); }
    void restart() { loop_.restartNextFrame(); }

  private:
    void makeImage();
    void send(const std::vector<PixelArea>& areas);

    Display* display_;
    Window window_;
    Visual* visual_;
    int depth_;
    int width_;
    int height_;
    ChannelMasks masks_;
    Picture desktop_;
    bool tryShm_;
    GC gc_;
    ScreenLoop loop_;
    std::uint32_t clock_ = 0;
    bool shown_;
    std::unique_ptr<XFrameImage> image_;
    // On a 10-bit window the rain is traced here, 8 bits a channel as on any 32-bit screen,
    // and each area sent is widened into the image first; null on other windows, where the
    // rain is traced into the image itself.
    std::unique_ptr<MemorySurface> traced_;
    std::unique_ptr<MemoryPictures> pictures_;
};
