#pragma once

#include <chrono>
#include <cstdint>

// When the next frame is due: one delay after the one before, however late that one came, and
// how many frames a run draws. The caller gives the time at every question.
class FramePacer {
  public:
    using Time = std::chrono::steady_clock::time_point;

    // A frame every `delay`, the first at `start`; `limit` frames in all, 0 for no end.
    FramePacer(std::chrono::microseconds delay, std::int32_t limit, Time start);

    // How far the rain's clock moves with each frame: the delay in whole milliseconds, at least
    // one. It moves one delay a frame, as misto-render's moves 20 ms: the picture after N frames
    // is the same however late the frames come.
    std::uint32_t stepMs() const { return stepMs_; }

    bool due(Time now) const { return now >= next_; }
    // A frame was drawn, and `now` is the time after it. The next is due one delay after this
    // one was; a loop that fell behind goes on from `now` instead of catching up in a burst.
    void drawn(Time now);
    // How long from `now` until the next frame is due; zero once it is.
    std::chrono::nanoseconds untilDue(Time now) const;

    // Whether the limit's frames are all drawn; never without a limit.
    bool allDrawn() const { return limit_ > 0 && drawn_ >= limit_; }

  private:
    std::chrono::microseconds delay_;
    std::uint32_t stepMs_;
    std::int32_t limit_;
    std::int32_t drawn_ = 0;
    Time next_;
};
