#pragma once

#include "render/tracer/surface.h"

// A picture that can be locked for the tracer: the display layer implements it over real
// surfaces, tests and tools over plain memory.
class LockableSurface {
  public:
    virtual ~LockableSurface() = default;
    // Fills `desc` and answers true when the picture is locked; false leaves it unlocked and
    // `desc` meaningless.
    virtual bool lock(SurfaceDesc& desc) = 0;
    virtual void unlock() = 0;
};
