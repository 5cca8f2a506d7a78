#include "app/win32/dib_picture.h"

DibPicture::DibPicture(std::int32_t width, std::int32_t height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    // Negative: the top row first, as the tracer walks pictures.
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_ == nullptr || bits == nullptr) return;
    dc_ = CreateCompatibleDC(nullptr);
    if (dc_ == nullptr) return;
    previous_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<std::uint8_t*>(bits);
}

DibPicture::~DibPicture() {
    if (dc_ != nullptr) {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
}
