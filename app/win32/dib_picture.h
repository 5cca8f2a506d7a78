#pragma once

#include <windows.h>

#include <cstdint>

// A 32-bit top-down DIB section selected into a memory device context of its own: the pixels
// can be written directly and blitted by GDI. Everything goes when the object goes.
class DibPicture {
  public:
    // An empty picture (no bits) when GDI cannot make one.
    DibPicture(std::int32_t width, std::int32_t height);
    ~DibPicture();
    DibPicture(const DibPicture&) = delete;
    DibPicture& operator=(const DibPicture&) = delete;

    bool valid() const { return bits_ != nullptr; }
    HDC dc() const { return dc_; }
    std::uint8_t* bits() const { return bits_; }
    std::uint32_t pitch() const { return static_cast<std::uint32_t>(width_) * 4; }
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }

  private:
    std::int32_t width_;
    std::int32_t height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint8_t* bits_ = nullptr;
};
