#pragma once

#include <string>

#include "foundation/basic_error.h"
#include "picture/picture.h"

// A picture that cannot be read or written; the text names the file and the reason.
class PictureError : public BasicError {
  public:
    using BasicError::BasicError;
};

// Reads a PNG, JPEG or BMP file as RGB (an alpha channel is dropped).
Picture loadPicture(const std::string& path);

// A picture that cannot be written out.
class PictureWriteError : public BasicError {
  public:
    using BasicError::BasicError;
};

// Writes the picture as an RGB PNG file.
void writePng(const std::string& path, const Picture& picture);
