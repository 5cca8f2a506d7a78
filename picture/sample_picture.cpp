#include "picture/sample_picture.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "picture/picture_io.h"

namespace fs = std::filesystem;

namespace {

fs::path programFolder(const char* argv0) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.parent_path();
    if (argv0 == nullptr || *argv0 == '\0') return {};
    const fs::path exe = fs::absolute(fs::path(argv0), ec);
    return ec ? fs::path() : exe.parent_path();
}

// `installed` is the name under PREFIX/share/misto (empty: never installed); `inSources` the
// path from the top of the source tree.
std::string findPicture(const char* installed, const char* inSources, const char* argv0) {
    std::vector<fs::path> candidates;
    const fs::path folder = programFolder(argv0);
    if (!folder.empty()) {
        if (*installed != '\0') {
            candidates.push_back(folder / "../share/misto" / installed);
            candidates.push_back(folder / "../../share/misto" / installed);
        }
        candidates.push_back(folder / "../.." / inSources);
    }
    candidates.push_back(fs::path(inSources));
    // The sources' root is one folder above this file's.
    candidates.push_back(fs::path(__FILE__).parent_path() / ".." / inSources);
    std::error_code ec;
    for (const fs::path& p : candidates) {
        if (fs::is_regular_file(p, ec)) return p.lexically_normal().string();
    }
    throw PictureError(std::string("cannot find the bundled picture ") + inSources +
                       "; give one with --image FILE");
}

}  // namespace

std::string findSamplePicture(const char* argv0) {
    return findPicture("", "tests/data/wallpaper.png", argv0);
}

std::string findScenePicture(const char* argv0) {
    return findPicture("wallpaper.png", "resources/x11/wallpaper.png", argv0);
}
