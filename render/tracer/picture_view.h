#pragma once

#include "render/tracer/lockable_surface.h"

// A picture in memory that someone else owns and keeps in place (a bitmap's bits): always
// "locked", nothing to give back.
class PictureView : public LockableSurface {
  public:
    explicit PictureView(const SurfaceDesc& desc) : desc_(desc) {}

    bool lock(SurfaceDesc& desc) override {
        desc = desc_;
        return desc_.bits != nullptr;
    }
    void unlock() override {}
    const SurfaceDesc& description() const { return desc_; }

  private:
    SurfaceDesc desc_;
};
