#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "picture/picture.h"

// A picture from a folder of the user's (xscreensaver's imageDirectory), chosen at random.
struct FolderPicture {
    Picture picture;
    std::string path;
};

// The PNG and JPEG files in `folder` and the folders below it, sorted by path. Links to
// folders are not followed, and the walk stops after `maxNames` names, so that a huge or
// looping tree cannot hold up the start.
std::vector<std::string> pictureFilesIn(const std::string& folder, std::size_t maxNames = 20000);

// Tries the folder's pictures in turn, beginning at the one `seed` picks, until one reads. A file
// that is not a regular file, is larger than 64 MiB or 40 million pixels, or does not decode is
// passed over, with a line saying why in `passedOver`. Nothing when none reads.
std::optional<FolderPicture> randomFolderPicture(const std::string& folder, std::uint32_t seed,
                                                 std::vector<std::string>& passedOver);
