#include "picture/picture_folder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "picture/picture_io.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMaxFileBytes = 64u << 20;
constexpr std::int64_t kMaxPixels = 40'000'000;

bool isPictureName(const fs::path& path) {
    std::string ext = path.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".png" || ext == ".jpg" || ext == ".jpeg";
}

}  // namespace

std::vector<std::string> pictureFilesIn(const std::string& folder, std::size_t maxNames) {
    std::vector<std::string> found;
    std::error_code ec;
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied,
                                          ec);
    std::size_t seen = 0;
    for (; !ec && walk != fs::recursive_directory_iterator(); walk.increment(ec)) {
        if (++seen > maxNames) break;
        if (isPictureName(walk->path())) found.push_back(walk->path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<FolderPicture> randomFolderPicture(const std::string& folder, std::uint32_t seed,
                                                 std::vector<std::string>& passedOver) {
    const std::vector<std::string> files = pictureFilesIn(folder);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& path = files[(seed + i) % files.size()];
        std::error_code ec;
        // A FIFO or a device behind a picture's name would block the start or never end.
        if (!fs::is_regular_file(path, ec)) {
            passedOver.push_back(path + ": not a regular file");
            continue;
        }
        const std::uintmax_t bytes = fs::file_size(path, ec);
        if (ec || bytes > kMaxFileBytes) {
            passedOver.push_back(path + ": " + (ec ? ec.message() : "larger than 64 MiB"));
            continue;
        }
        try {
            return FolderPicture{loadPicture(path, kMaxPixels), path};
        } catch (const PictureError& e) {
            passedOver.push_back(e.what());
        }
    }
    return std::nullopt;
}
