#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/huge_pages.h"
#include "render/tracer/lockable_surface.h"

// A picture in plain memory. The pitch may be larger than a row's bytes, as real surfaces'
// often are; the padding is filled with a marker so that a write past a row shows.
class MemorySurface : public LockableSurface {
  public:
    static constexpr std::uint8_t kPadding = 0xA5;

    MemorySurface(std::uint32_t width, std::uint32_t height, std::uint32_t bpp,
                  std::uint32_t pitch = 0)
        : width_(width),
          height_(height),
          bpp_(bpp),
          pitch_(pitch != 0 ? pitch : width * ((bpp + 7) / 8)) {
        // A screen-sized picture is read at scattered places every frame: huge pages, when
        // the system gives them, spare most of the address translations.
        assignOnHugePages(pixels_, static_cast<std::size_t>(pitch_) * height, kPadding);
        for (std::uint32_t y = 0; y < height_; ++y) {
            std::uint8_t* row = this->row(y);
            for (std::uint32_t i = 0; i < rowBytes(); ++i) row[i] = 0;
        }
    }

    bool lock(SurfaceDesc& desc) override {
        if (failLocks_) return false;
        desc = description();
        ++locks_;
        locked_ = true;
        return true;
    }
    void unlock() override {
        locked_ = false;
        ++unlocks_;
    }

    SurfaceDesc description() { return SurfaceDesc{bpp_, pitch_, width_, height_, pixels_.data()}; }

    std::uint8_t* row(std::uint32_t y) {
        return pixels_.data() + static_cast<std::size_t>(y) * pitch_;
    }
    const std::uint8_t* row(std::uint32_t y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * pitch_;
    }
    std::uint32_t rowBytes() const { return width_ * ((bpp_ + 7) / 8); }
    std::vector<std::uint8_t>& bytes() { return pixels_; }
    const std::vector<std::uint8_t>& bytes() const { return pixels_; }

    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    std::uint32_t bpp() const { return bpp_; }
    std::uint32_t pitch() const { return pitch_; }

    // For tests of callers: make every lock fail, and count locks and unlocks.
    void setFailLocks(bool fail) { failLocks_ = fail; }
    int locks() const { return locks_; }
    int unlocks() const { return unlocks_; }
    bool locked() const { return locked_; }

  private:
    std::uint32_t width_;
    std::uint32_t height_;
    std::uint32_t bpp_;
    std::uint32_t pitch_;
    std::vector<std::uint8_t> pixels_;
    bool failLocks_ = false;
    bool locked_ = false;
    int locks_ = 0;
    int unlocks_ = 0;
};
