#include "app/x11/x_desktop.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "app/x11/x_errors.h"
#include "app/x11/x_pixels.h"
#include "foundation/small_file.h"
#include "picture/picture_folder.h"
#include "picture/picture_io.h"
#include "picture/sample_picture.h"

ImagePreferences userImagePreferences() {
    const char* home = std::getenv("HOME");
    if (home == nullptr) return {};
    // Read as a preferences file of any real size is: a FIFO, a device or a link to one would
    // block the start or fill the memory, and is taken as no file at all.
    const std::string path = std::string(home) + "/.xscreensaver";
    const SmallFile file = readSmallFile(path, 1u << 20);
    if (!file.bytes) {
        if (!file.missing) {
            std::fprintf(stderr, "misto: ignoring %s: %s\n", path.c_str(), file.error.c_str());
        }
        return {};
    }
    return imagePreferences(std::string(file.bytes->begin(), file.bytes->end()), home);
}

Pixmap screenshotPixmap(Display* display, Window window) {
    const Atom property = XInternAtom(display, "_SCREENSAVER_SCREENSHOT", False);
    Atom type = XNone;
    int format = 0;
    unsigned long items = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1, False, XA_PIXMAP, &type,
                                          &format, &items, &left, &data);
    Pixmap pixmap = XNone;
    if (status == Success && type == XA_PIXMAP && format == 32 && items == 1 && data != nullptr) {
        pixmap = static_cast<Pixmap>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data != nullptr) XFree(data);
    return pixmap;
}

std::optional<Picture> hostScreenshot(Display* display, Window window,
                                      const XWindowAttributes& attributes) {
    XErrors::take();
    const Pixmap pixmap = screenshotPixmap(display, window);
    if (pixmap == XNone) return std::nullopt;

    Window root = XNone;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    // A pixmap its host has freed since is no picture; its error is answered here.
    const Status found =
        XGetGeometry(display, pixmap, &root, &x, &y, &width, &height, &border, &depth);
    if (XErrors::take() != 0 || !found || static_cast<int>(depth) != attributes.depth) {
        return std::nullopt;
    }
    // A pixmap's image carries no channel masks: the window's visual gives them.
    return readDrawable(display, pixmap, 0, 0, static_cast<int>(width), static_cast<int>(height),
                        masksOf(attributes.visual));
}

Picture chosenPicture(const std::string& path, const std::string& folder, const char* argv0) {
    if (!path.empty()) return loadPicture(path);
    if (!folder.empty()) {
        std::vector<std::string> passedOver;
        std::optional<FolderPicture> found =
            randomFolderPicture(folder, std::random_device{}(), passedOver);
        for (const std::string& why : passedOver) {
            std::fprintf(stderr, "misto: passing over %s\n", why.c_str());
        }
        if (found) return std::move(found->picture);
        std::fprintf(stderr, "misto: no picture to show in %s; raining over the bundled one\n",
                     folder.c_str());
    }
    return loadPicture(findScenePicture(argv0));
}
