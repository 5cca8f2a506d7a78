#include "app/x11/x_frame_image.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "app/x11/x_errors.h"
#include "foundation/huge_pages.h"

bool displayIsLocal(const char* name) {
    if (name == nullptr) return false;
    const std::string text(name);
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string host = text.substr(0, colon);
    return host.empty() || host == "unix" || host.rfind("/", 0) == 0;
}

XFrameImage::XFrameImage(Display* display, Visual* visual, int depth, int width, int height,
                         bool tryShm)
    : display_(display) {
    if (tryShm && displayIsLocal(DisplayString(display)) && XShmQueryExtension(display) &&
        attachShared(visual, depth, width, height)) {
        shared_ = true;
        return;
    }
    image_ = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                          static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (image_ == nullptr) throw std::bad_alloc();
    // The tracer writes pixels in this machine's order; Xlib turns them round for the server.
    const unsigned probe = 1;
    image_->byte_order = *reinterpret_cast<const unsigned char*>(&probe) == 1 ? LSBFirst : MSBFirst;
    const std::size_t bytes = static_cast<std::size_t>(image_->bytes_per_line) * height;
    image_->data = static_cast<char*>(std::calloc(bytes, 1));
    if (image_->data == nullptr) {
        XDestroyImage(image_);
        throw std::bad_alloc();
    }
    // A block this large comes as fresh pages not yet touched: huge pages can still back them.
    // (Shared memory segments get no such pages from Linux unless its administrator reserves them.)
    adviseHugePages(image_->data, bytes);
}

bool XFrameImage::attachShared(Visual* visual, int depth, int width, int height) {
    image_ =
        XShmCreateImage(display_, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &segment_,
                        static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (image_ == nullptr) return false;
    const std::size_t bytes = static_cast<std::size_t>(image_->bytes_per_line) * height;
    segment_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment_.shmid >= 0) {
        segment_.shmaddr = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
        if (segment_.shmaddr != reinterpret_cast<char*>(-1)) {
            image_->data = segment_.shmaddr;
            segment_.readOnly = True;
            XErrors::take();
            const bool attached = XShmAttach(display_, &segment_) != 0;
            XSync(display_, False);
            const bool failed = XErrors::take() != 0;
            // Marked for removal now: the segment goes when both sides let go, even if this
            // process is killed.
            shmctl(segment_.shmid, IPC_RMID, nullptr);
            if (attached && !failed) return true;
            shmdt(segment_.shmaddr);
        } else {
            shmctl(segment_.shmid, IPC_RMID, nullptr);
        }
    }
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
    segment_ = XShmSegmentInfo{};
    return false;
}

XFrameImage::~XFrameImage() {
    if (shared_) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
        image_->data = nullptr;
        XDestroyImage(image_);
        shmdt(segment_.shmaddr);
    } else {
        XDestroyImage(image_);  // frees the pixels too
    }
}

SurfaceDesc XFrameImage::description() const {
    return SurfaceDesc{static_cast<std::uint32_t>(image_->bits_per_pixel),
                       static_cast<std::uint32_t>(image_->bytes_per_line),
                       static_cast<std::uint32_t>(image_->width),
                       static_cast<std::uint32_t>(image_->height),
                       reinterpret_cast<std::uint8_t*>(image_->data)};
}

void XFrameImage::put(Drawable drawable, GC gc, const std::vector<PixelArea>& areas) {
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const PixelArea& a = areas[i];
        const unsigned w = static_cast<unsigned>(a.right - a.left);
        const unsigned h = static_cast<unsigned>(a.bottom - a.top);
        if (shared_) {
            // One completion event a frame: the server handles requests in order, so the last
            // one done means all are.
            const bool last = i + 1 == areas.size();
            XShmPutImage(display_, drawable, gc, image_, a.left, a.top, a.left, a.top, w, h,
                         last ? True : False);
            if (last) busy_ = true;
        } else {
            XPutImage(display_, drawable, gc, image_, a.left, a.top, a.left, a.top, w, h);
        }
    }
}
