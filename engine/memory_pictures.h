#pragma once

#include "engine/screen_pictures.h"
#include "render/tracer/memory_surface.h"
#include "render/tracer/picture_view.h"

// A screen's pictures in plain memory: the work picture is memory the host keeps in place (a
// bitmap's bits, an image buffer), the clean picture a copy of what it held at the start.
class MemoryPictures : public ScreenPictures {
  public:
    // `work` must hold the clean picture now and stay in place as long as this object lives.
    explicit MemoryPictures(const SurfaceDesc& work);
    MemoryPictures(const MemoryPictures&) = delete;
    MemoryPictures& operator=(const MemoryPictures&) = delete;

    LockableSurface& work() override { return work_; }
    LockableSurface& clean() override { return clean_; }
    void restoreWork() override;

    const MemorySurface& cleanPicture() const { return clean_; }

  private:
    PictureView work_;
    MemorySurface clean_;
};
