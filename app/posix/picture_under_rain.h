#pragma once

#include <optional>
#include <string>
#include <utility>

#include "app/xscreensaver_preferences.h"
#include "picture/picture.h"

// The user's xscreensaver preferences (~/.xscreensaver) about pictures; the defaults when there
// is no such file, or, with a line on stderr, when it is no small regular file.
ImagePreferences userImagePreferences();

// The picture of `path`; when `path` is empty, a picture chosen at random from `folder` (the
// user's image folder, empty for none), else the bundled scene. Files of the folder that cannot
// be shown are passed over with a line on stderr.
Picture chosenPicture(const std::string& path, const std::string& folder, const char* argv0);

// The picture under the rain: the desktop, unless --image names a picture to show instead; that
// picture, one from the user's image folder, or the bundled one, also stands in wherever no
// desktop can be had.
class PictureUnderRain {
  public:
    // `image`: the --image file, empty for none; `argv0`: where misto was started from, beside
    // which the bundled picture lies.
    PictureUnderRain(std::string image, const char* argv0)
        : image_(std::move(image)), argv0_(argv0) {}

    // The desktop as `read` gives it; nothing, and nothing read, when --image names a picture.
    template <typename Read>
    std::optional<Picture> desktop(Read read) const {
        if (!image_.empty()) return std::nullopt;
        return read();
    }
    // `desktop` when there is one, else the picture --image names, one from the user's image
    // folder, or the bundled one.
    Picture over(const std::optional<Picture>& desktop) const;
    // The user's xscreensaver preferences, read when first asked for and kept for the run.
    const ImagePreferences& preferences() const;

  private:
    std::string image_;
    const char* argv0_;
    mutable std::optional<ImagePreferences> preferences_;
};
