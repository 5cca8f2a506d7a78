#include "picture/sample_picture.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "picture/picture_io.h"

namespace fs = std::filesystem;

namespace {

const char* const kSample = "tests/data/wallpaper.png";

}  // namespace

std::string findSamplePicture(const char* argv0) {
    std::vector<fs::path> candidates;
    std::error_code ec;
    if (argv0 != nullptr && *argv0 != '\0') {
        const fs::path exe = fs::absolute(fs::path(argv0), ec);
        if (!ec) {
            candidates.push_back(exe.parent_path() / "../share/misto/wallpaper.png");
            candidates.push_back(exe.parent_path() / "../../share/misto/wallpaper.png");
            candidates.push_back(exe.parent_path() / "../.." / kSample);
        }
    }
    candidates.push_back(fs::path(kSample));
    // The sources' root is one folder above this file's.
    candidates.push_back(fs::path(__FILE__).parent_path() / ".." / kSample);
    for (const fs::path& p : candidates) {
        if (fs::is_regular_file(p, ec)) return p.lexically_normal().string();
    }
    throw PictureError(std::string("cannot find the sample picture ") + kSample +
                       "; give one with --image FILE");
}
