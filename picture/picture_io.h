#pragma once

#include <cstdint>
#include <string>

#include "foundation/basic_error.h"
#include "picture/picture.h"

// A picture that cannot be read or written; the text names the file and the reason.
class PictureError : public BasicError {
  public:
    using BasicError::BasicError;
};

// Reads a PNG, JPEG or BMP file as RGB (an alpha channel is dropped). A picture of more than
// `maxPixels` pixels is refused before it is decoded.
constexpr std::int64_t kAnyPixels = INT64_MAX;
Picture loadPicture(const std::string& path, std::int64_t maxPixels = kAnyPixels);

// A picture that cannot be written out.
class PictureWriteError : public BasicError {
  public:
    using BasicError::BasicError;
};

// Writes the picture as an RGB PNG file.
void writePng(const std::string& path, const Picture& picture);
