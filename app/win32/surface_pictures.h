#pragma once

#include "engine/screen_pictures.h"
#include "render/win32/ddraw_surface.h"

// The primary screen's pictures: the work and background surfaces. The glass is wiped by a
// copy of the whole background surface onto the work surface.
class SurfacePictures : public ScreenPictures {
  public:
    SurfacePictures(DDraw::Surface& work, DDraw::Surface& background)
        : work_(work), background_(background) {}

    LockableSurface& work() override { return work_; }
    LockableSurface& clean() override { return background_; }
    void restoreWork() override { background_.blt_to(work_); }

  private:
    DDraw::Surface& work_;
    DDraw::Surface& background_;
};
