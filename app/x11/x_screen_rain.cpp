#include "app/x11/x_screen_rain.h"

#include "app/x11/x_pixels.h"
#include "picture/picture_scale.h"
#include "picture/pixel_format.h"
#include "render/tracer/cosntable.h"

namespace {

// Under Xvfb one more XShmPutImage costs about as much as 4,000 more pixels of one (a whole
// 1920x1080 put beside 50 puts of 64x64).
constexpr std::int64_t kXMergeSlack = 4096;

}  // namespace

XScreenRain::XScreenRain(Display* display, Window window, const XWindowAttributes& attributes,
                         Picture desktop, const SaverSettings& settings, std::uint32_t seed,
                         bool tryShm)
    : display_(display),
      window_(window),
      visual_(attributes.visual),
      depth_(attributes.depth),
      width_(attributes.width),
      height_(attributes.height),
      masks_(masksOf(attributes.visual)),
      desktop_(std::move(desktop)),
      tryShm_(tryShm),
      gc_(XCreateGC(display, window, 0, nullptr)),
      loop_(settings, kCosnTable, 0, seed),
      shown_(attributes.map_state == IsViewable) {
    loop_.presentation() = FramePresentation(kXMergeSlack);
    makeImage();
}

XScreenRain::~XScreenRain() {
    pictures_.reset();
    traced_.reset();
    image_.reset();
    XFreeGC(display_, gc_);
}

void XScreenRain::makeImage() {
    pictures_.reset();
    traced_.reset();
    image_.reset();
    image_ = std::make_unique<XFrameImage>(display_, visual_, depth_, width_, height_, tryShm_);
    const Picture scaled = desktop_.width == width_ && desktop_.height == height_
                               ? desktop_
                               : scalePicture(desktop_, width_, height_);
    if (depth_ == 30) {
        // The tracer draws 8 bits a channel: at 10 it traces as on a 32-bit screen, the same
        // frames as everywhere else, and send() widens what changed. The first frame sends
        // the whole picture, so the image needs no filling here.
        const auto w = static_cast<std::uint32_t>(width_);
        const auto h = static_cast<std::uint32_t>(height_);
        traced_ = std::make_unique<MemorySurface>(w, h, 32);
        fillSurface(scaled, *traced_);
        pictures_ = std::make_unique<MemoryPictures>(traced_->description());
        loop_.prepare(width_, height_, channelMasksFor(32));
        return;
    }
    fillImage(scaled, image_->image(), masks_);
    pictures_ = std::make_unique<MemoryPictures>(image_->description());
    loop_.prepare(width_, height_, masks_);
}

void XScreenRain::resize(int width, int height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    makeImage();
}

void XScreenRain::setShown(bool shown) {
    if (shown && !shown_) loop_.presentWholeNextFrame();
    shown_ = shown;
}

void XScreenRain::frame(std::uint32_t elapsedMs) {
    clock_ += elapsedMs;
    loop_.frame(*pictures_, clock_);
    const FramePresentation::Send plan = loop_.plan(clock_);
    send(areasToSend(plan, loop_.areas(), width_, height_));
}

void XScreenRain::send(const std::vector<PixelArea>& areas) {
    if (traced_) {
        // Only the areas sent are widened: the frame's cost grows with the rain, not the screen.
        const SurfaceDesc to = image_->description();
        for (const PixelArea& a : areas) {
            widenRectTo30(traced_->description(), to, a.left, a.top, a.right - a.left,
                          a.bottom - a.top);
        }
    }
    image_->put(window_, gc_, areas);
}
