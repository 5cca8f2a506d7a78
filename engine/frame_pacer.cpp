#include "engine/frame_pacer.h"

#include <algorithm>

FramePacer::FramePacer(std::chrono::microseconds delay, std::int32_t limit, Time start)
    : delay_(delay),
      stepMs_(static_cast<std::uint32_t>(
          std::max<std::chrono::microseconds::rep>(1, delay.count() / 1000))),
      limit_(limit),
      next_(start) {}

void FramePacer::drawn(Time now) {
    ++drawn_;
    next_ += delay_;
    if (next_ < now) next_ = now;
}

std::chrono::nanoseconds FramePacer::untilDue(Time now) const {
    return std::max(std::chrono::nanoseconds(0),
                    std::chrono::duration_cast<std::chrono::nanoseconds>(next_ - now));
}
