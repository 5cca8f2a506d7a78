#pragma once

#include "render/tracer/lockable_surface.h"

// The two pictures a screen's rain is drawn with, kept by the screen's host in whatever memory
// it shows from: the work picture, which the tracer writes and the host shows, and the clean
// picture behind the rain, which the tracer reads. Both have the screen's size and format.
class ScreenPictures {
  public:
    virtual ~ScreenPictures() = default;
    virtual LockableSurface& work() = 0;
    virtual LockableSurface& clean() = 0;
    // Puts the whole clean picture back into the work picture (the glass is wiped).
    virtual void restoreWork() = 0;
};
