#include "engine/memory_pictures.h"

#include <cstring>

namespace {

void copyRows(const SurfaceDesc& from, const SurfaceDesc& to) {
    const std::size_t bytes = static_cast<std::size_t>(to.SurfWidth) * ((to.BPP + 7) / 8);
    for (std::uint32_t y = 0; y < to.SurfHeight; ++y)
        std::memcpy(to.LFB + static_cast<std::size_t>(y) * to.Pitch,
                    from.LFB + static_cast<std::size_t>(y) * from.Pitch, bytes);
}

}  // namespace

MemoryPictures::MemoryPictures(const SurfaceDesc& work)
    : work_(work),
      // The same row length as the work picture: the tracer's smoothing walks both with one
      // pitch.
      clean_(work.SurfWidth, work.SurfHeight, work.BPP, work.Pitch) {
    copyRows(work_.description(), clean_.description());
}

void MemoryPictures::restoreWork() { copyRows(clean_.description(), work_.description()); }
