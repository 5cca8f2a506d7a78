// x11_host: plays a screen-saver host for misto's end-to-end test. Its windows outlive it
// (RetainPermanent), so each step is one run:
//   x11_host make WxH PICTURE OUT.png   a window of that size at 0,0 holding PICTURE (scaled)
//                                       as _SCREENSAVER_SCREENSHOT; prints its id in decimal
//                                       and writes the screenshot as the window's depth shows
//                                       it to OUT.png
//   x11_host compare ID EXPECTED.png    exit 0 when the window holds EXPECTED.png scaled to the
//                                       window's size, pixel value for pixel value in the
//                                       window's depth (10-bit channels widened by widenTo10:
//                                       v10 = (v8 << 2) | (v8 >> 6)); else 1
//   x11_host root PICTURE OUT.png background|drawn
//                                       the root shows PICTURE (scaled) as its background
//                                       pixmap, or drawn on the root itself (on a server with
//                                       -background none nothing paints over it); prints the
//                                       root's id and writes the picture as shown to OUT.png
//   x11_host resize ID WxH | destroy ID
//   x11_host free-screenshot ID         frees the screenshot's pixmap, leaving the property
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/x11/x_desktop.h"
#include "app/x11/x_errors.h"
#include "app/x11/x_pixels.h"
#include "app/x11/xlib.h"
#include "picture/picture_io.h"
#include "picture/picture_scale.h"

namespace {

bool parseSize(const std::string& text, int& width, int& height) {
    return std::sscanf(text.c_str(), "%dx%d", &width, &height) == 2 && width > 0 && height > 0;
}

// The picture in the pixels of a window of this visual and depth.
ImageHandle imageOf(Display* display, const Picture& picture, const XWindowAttributes& attributes) {
    ImageHandle image(XCreateImage(
        display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap, 0, nullptr,
        static_cast<unsigned>(picture.width), static_cast<unsigned>(picture.height), 32, 0));
    image->data = static_cast<char*>(
        std::calloc(static_cast<std::size_t>(image->bytes_per_line) * picture.height, 1));
    fillImage(picture, image.get(), masksOf(attributes.visual));
    return image;
}

// The picture as a window of this depth holds it.
Picture asShown(Display* display, const Picture& picture, const XWindowAttributes& attributes) {
    return pictureOfImage(imageOf(display, picture, attributes).get(), masksOf(attributes.visual));
}

int make(Display* display, const std::string& size, const std::string& path,
         const std::string& out) {
    int width = 0;
    int height = 0;
    if (!parseSize(size, width, height)) return 2;
    const Window root = DefaultRootWindow(display);
    XWindowAttributes rootAttributes{};
    XGetWindowAttributes(display, root, &rootAttributes);
    const Picture shown =
        asShown(display, scalePicture(loadPicture(path), width, height), rootAttributes);

    XSetWindowAttributes set{};
    set.background_pixel = 0;
    const Window window = XCreateWindow(display, root, 0, 0, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, CopyFromParent,
                                        InputOutput, CopyFromParent, CWBackPixel, &set);
    const Pixmap pixmap =
        XCreatePixmap(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height),
                      static_cast<unsigned>(rootAttributes.depth));
    const GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XPutImage(display, pixmap, gc, imageOf(display, shown, rootAttributes).get(), 0, 0, 0, 0,
              static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFreeGC(display, gc);
    const Atom property = XInternAtom(display, "_SCREENSAVER_SCREENSHOT", False);
    XChangeProperty(display, window, property, XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pixmap), 1);
    XMapRaised(display, window);
    XSetCloseDownMode(display, RetainPermanent);
    XSync(display, False);
    writePng(out, shown);
    std::printf("%lu\n", static_cast<unsigned long>(window));
    return 0;
}

int root(Display* display, const std::string& path, const std::string& out,
         const std::string& how) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    const auto width = static_cast<unsigned>(attributes.width);
    const auto height = static_cast<unsigned>(attributes.height);
    const ImageHandle image = imageOf(
        display, scalePicture(loadPicture(path), attributes.width, attributes.height), attributes);
    const GC gc = XCreateGC(display, root, 0, nullptr);
    if (how == "background") {
        const Pixmap pixmap =
            XCreatePixmap(display, root, width, height, static_cast<unsigned>(attributes.depth));
        XPutImage(display, pixmap, gc, image.get(), 0, 0, 0, 0, width, height);
        // The root keeps the pixmap as its background after it is freed here.
        XSetWindowBackgroundPixmap(display, root, pixmap);
        XFreePixmap(display, pixmap);
        XClearWindow(display, root);
    } else if (how == "drawn") {
        XPutImage(display, root, gc, image.get(), 0, 0, 0, 0, width, height);
    } else {
        XFreeGC(display, gc);
        return 2;
    }
    XFreeGC(display, gc);
    XSync(display, False);
    writePng(out, pictureOfImage(image.get(), masksOf(attributes.visual)));
    std::printf("%lu\n", static_cast<unsigned long>(root));
    return XErrors::take() == 0 ? 0 : 1;
}

int compare(Display* display, Window window, const std::string& path) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return 2;
    // Pixel values, not the colours read back from them: at 10 bits a channel the two low bits
    // count too.
    const ImageHandle expected = imageOf(
        display, scalePicture(loadPicture(path), attributes.width, attributes.height), attributes);
    const ImageHandle shown = readImage(display, window, 0, 0, attributes.width, attributes.height);
    if (!shown) return 2;
    const ChannelMasks masks = masksOf(attributes.visual);
    const unsigned long used = masks.r | masks.g | masks.b;
    long differing = 0;
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            differing +=
                ((XGetPixel(expected.get(), x, y) ^ XGetPixel(shown.get(), x, y)) & used) != 0;
        }
    }
    std::printf("%ld of %dx%d pixels differ\n", differing, attributes.width, attributes.height);
    return differing == 0 ? 0 : 1;
}

int command(Display* display, int argc, char** argv) {
    if (argc < 3) {
        std::fputs(
            "usage: x11_host make WxH PICTURE OUT.png | compare ID EXPECTED.png | "
            "resize ID WxH | destroy ID | free-screenshot ID | "
            "root PICTURE OUT.png background|drawn\n",
            stderr);
        return 2;
    }
    const std::string command = argv[1];
    try {
        if (command == "make" && argc == 5) return make(display, argv[2], argv[3], argv[4]);
        if (command == "root" && argc == 5) return root(display, argv[2], argv[3], argv[4]);
        const Window window = static_cast<Window>(std::strtoul(argv[2], nullptr, 0));
        if (command == "compare" && argc == 4) return compare(display, window, argv[3]);
        if (command == "resize" && argc == 4) {
            int width = 0;
            int height = 0;
            if (!parseSize(argv[3], width, height)) return 2;
            XResizeWindow(display, window, static_cast<unsigned>(width),
                          static_cast<unsigned>(height));
            XSync(display, False);
            return XErrors::take() == 0 ? 0 : 1;
        }
        if (command == "free-screenshot" && argc == 3) {
            // The property stays, naming a pixmap that is no more.
            const Pixmap pixmap = screenshotPixmap(display, window);
            if (pixmap == XNone) return 1;
            XFreePixmap(display, pixmap);
            XSync(display, False);
            return XErrors::take() == 0 ? 0 : 1;
        }
        if (command == "destroy" && argc == 3) {
            XDestroyWindow(display, window);
            XSync(display, False);
            return XErrors::take() == 0 ? 0 : 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "x11_host: %s\n", e.what());
        return 2;
    }
    std::fprintf(stderr, "x11_host: bad command %s\n", command.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("x11_host: cannot open the display\n", stderr);
        return 2;
    }
    XErrors::install();
    const int code = command(display, argc, argv);
    XCloseDisplay(display);
    return code;
}
