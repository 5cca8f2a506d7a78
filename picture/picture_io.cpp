#include "picture/picture_io.h"

#include <cstring>
#include <limits>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_FAILURE_USERMSG
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

Picture loadPicture(const std::string& path, std::int64_t maxPixels) {
    int w = 0;
    int h = 0;
    int channels = 0;
    if (maxPixels != kAnyPixels && stbi_info(path.c_str(), &w, &h, &channels) != 0 &&
        static_cast<std::int64_t>(w) * h > maxPixels) {
        throw PictureError("cannot read the picture " + path + ": " + std::to_string(w) + "x" +
                           std::to_string(h) + " is more than " + std::to_string(maxPixels) +
                           " pixels");
    }
    stbi_uc* data = stbi_load(path.c_str(), &w, &h, &channels, 3);
    if (data == nullptr) {
        throw PictureError("cannot read the picture " + path + ": " + stbi_failure_reason());
    }
    Picture picture;
    picture.width = w;
    picture.height = h;
    picture.rgb.assign(data, data + static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    stbi_image_free(data);
    return picture;
}

void writePng(const std::string& path, const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.width > std::numeric_limits<int>::max() / 3) {
        throw PictureWriteError("cannot write the empty picture " + path);
    }
    if (stbi_write_png(path.c_str(), picture.width, picture.height, 3, picture.rgb.data(),
                       picture.width * 3) == 0) {
        throw PictureWriteError("cannot write the picture " + path);
    }
}
