#pragma once

#include <vector>

#include "app/x11/xlib.h"
#include "engine/frame_presentation.h"
#include "render/tracer/surface.h"

// The picture a window's rain is traced into, held where the X server can take it from: shared
// memory when the server offers it on this machine, else plain memory sent over the connection.
class XFrameImage {
  public:
    XFrameImage(Display* display, Visual* visual, int depth, int width, int height, bool tryShm);
    ~XFrameImage();
    XFrameImage(const XFrameImage&) = delete;
    XFrameImage& operator=(const XFrameImage&) = delete;

    XImage* image() { return image_; }
    SurfaceDesc description() const;
    bool shared() const { return shared_; }

    // Sends these areas of the picture to `drawable`. With shared memory the server reads the
    // buffer later: busy() until its completion event has been handed to completed().
    void put(Drawable drawable, GC gc, const std::vector<PixelArea>& areas);
    bool busy() const { return busy_; }
    void completed() { busy_ = false; }

  private:
    bool attachShared(Visual* visual, int depth, int width, int height);

    Display* display_;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    bool shared_ = false;
    bool busy_ = false;
};

// Whether the display runs on this machine, where its shared memory is ours.
bool displayIsLocal(const char* name);
