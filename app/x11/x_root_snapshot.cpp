#include "app/x11/x_root_snapshot.h"

XRootSnapshot::XRootSnapshot(Display* display, Window root, const XWindowAttributes& attributes)
    : display_(display),
      root_(root),
      width_(attributes.width),
      height_(attributes.height),
      masks_(masksOf(attributes.visual)),
      image_(readImage(display, root, 0, 0, attributes.width, attributes.height)) {}

std::optional<Picture> XRootSnapshot::picture() const {
    if (!image_) return std::nullopt;
    return pictureOfImage(image_.get(), masks_);
}

void XRootSnapshot::putBack() {
    if (image_) {
        const GC gc = XCreateGC(display_, root_, 0, nullptr);
        XPutImage(display_, root_, gc, image_.get(), 0, 0, 0, 0, static_cast<unsigned>(width_),
                  static_cast<unsigned>(height_));
        XFreeGC(display_, gc);
    }
    // An exposure event rather than XClearArea: clearing would paint the root's background
    // over a desktop drawn on the root, and does nothing on a root without one.
    XEvent event{};
    event.xexpose.type = Expose;
    event.xexpose.display = display_;
    event.xexpose.window = root_;
    event.xexpose.width = width_;
    event.xexpose.height = height_;
    XSendEvent(display_, root_, False, ExposureMask, &event);
}
