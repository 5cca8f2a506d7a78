#include "app/x11/x_screen_rain.h"

#include <string>

#include "app/x11/x_pixels.h"
#include "render/tracer/cosntable.h"
#include "tools/render/picture_scale.h"

namespace {

// Under Xvfb a whole 1920x1080 XShmPutImage took 1.0 ms and 50 copies of 64x64 0.10 ms (see
// docs): one more copy costs about what 4,000 more pixels of one do.
constexpr std::int64_t kXMergeSlack = 4096;

}  // namespace

std::string unsupportedVisual(const XWindowAttributes& attributes) {
    const Visual* v = attributes.visual;
    const bool trueColor = v->c_class == TrueColor || v->c_class == DirectColor;
    const bool depthKnown = attributes.depth == 16 || attributes.depth == 24;
    if (trueColor && depthKnown) return "";
    return "the window's visual (depth " + std::to_string(attributes.depth) + ", " +
           (trueColor ? "true colour" : "with a colour map") +
           ") is not supported: misto draws on true-colour windows of depth 16 or 24";
}

XScreenRain::XScreenRain(Display* display, Window window, const XWindowAttributes& attributes,
                         Picture desktop, const SaverSettings& settings, bool tryShm)
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
      loop_(settings, kCosnTable, 0),
      shown_(attributes.map_state == IsViewable) {
    loop_.presentation() = FramePresentation(kXMergeSlack);
    makeImage();
}

XScreenRain::~XScreenRain() {
    pictures_.reset();
    image_.reset();
    XFreeGC(display_, gc_);
}

void XScreenRain::makeImage() {
    pictures_.reset();
    image_.reset();
    image_ = std::make_unique<XFrameImage>(display_, visual_, depth_, width_, height_, tryShm_);
    const Picture scaled = desktop_.width == width_ && desktop_.height == height_
                               ? desktop_
                               : scalePicture(desktop_, width_, height_);
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
    switch (loop_.plan(clock_)) {
        case FramePresentation::Send::Nothing:
            return;
        case FramePresentation::Send::Whole:
            image_->put(window_, gc_, {FramePresentation::Area{0, 0, width_, height_}});
            return;
        case FramePresentation::Send::Areas:
            image_->put(window_, gc_, loop_.areas());
            return;
    }
}
