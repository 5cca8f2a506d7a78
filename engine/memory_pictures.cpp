#include "engine/memory_pictures.h"

#include <cstring>

namespace {

void copyRows(const SurfaceDesc& from, const SurfaceDesc& to) {
    const std::size_t bytes = static_cast<std::size_t>(to.width) * ((to.bitsPerPixel + 7) / 8);
    for (std::uint32_t y = 0; y < to.height; ++y)
        std::memcpy(to.bits + static_cast<std::size_t>(y) * to.pitch,
                    from.bits + static_cast<std::size_t>(y) * from.pitch, bytes);
}

}  // namespace

MemoryPictures::MemoryPictures(const SurfaceDesc& work)
    : work_(work),
      // The same row length as the work picture: the tracer's smoothing walks both with one
      // pitch.
      clean_(work.width, work.height, work.bitsPerPixel, work.pitch) {
    copyRows(work_.description(), clean_.description());
}

void MemoryPictures::restoreWork() { copyRows(clean_.description(), work_.description()); }
