#include "app/posix/picture_under_rain.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

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

Picture PictureUnderRain::over(const std::optional<Picture>& desktop) const {
    if (desktop) return *desktop;
    return chosenPicture(image_, image_.empty() ? preferences().imageFolder : std::string(),
                         argv0_);
}

const ImagePreferences& PictureUnderRain::preferences() const {
    if (!preferences_) preferences_ = userImagePreferences();
    return *preferences_;
}
