#pragma once

#include <cstdint>

#include "render/tracer/tracer.h"

// Traces in another pixel format for a while. The tracer's decoded format is process-wide, and
// the picture set up first (the saver's screen) must find it as it was when the scope ends.
class TracerFormatScope {
  public:
    TracerFormatScope(std::uint32_t r_mask, std::uint32_t g_mask, std::uint32_t b_mask)
        : shifts_{BitShifts[0], BitShifts[1], BitShifts[2]}, masks_{RBitMask, GBitMask, BBitMask} {
        tracer_init(r_mask, g_mask, b_mask);
    }
    ~TracerFormatScope() {
        for (int i = 0; i < 3; ++i) BitShifts[i] = shifts_[i];
        RBitMask = masks_[0];
        GBitMask = masks_[1];
        BBitMask = masks_[2];
    }
    TracerFormatScope(const TracerFormatScope&) = delete;
    TracerFormatScope& operator=(const TracerFormatScope&) = delete;

  private:
    std::uint8_t shifts_[3];
    std::uint32_t masks_[3];
};
