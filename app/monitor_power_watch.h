#pragma once

#include <cstdint>

// Whether the monitor is powered on, as the display system tells it; a fake in the tests.
class MonitorPower {
  public:
    virtual ~MonitorPower() = default;
    virtual bool on() = 0;
};

// Follows the monitor's power for a saver that draws nothing while it is off. Asking costs a round
// trip to the display server, so it asks at most once an interval and keeps the last answer.
class MonitorPowerWatch {
  public:
    MonitorPowerWatch(MonitorPower& power, std::uint32_t intervalMs)
        : power_(power), intervalMs_(intervalMs) {}

    // Whether the monitor is on at `nowMs` (a steady millisecond clock); asks again only once the
    // last answer is an interval old.
    bool on(std::uint64_t nowMs);

    // True once for each time an answer found the monitor on again after it was off: everything
    // must then be shown whole, since the monitor kept nothing of what it last showed.
    bool takeCameBack();

    // Milliseconds from `nowMs` until the next answer may differ.
    std::uint64_t untilNextAsk(std::uint64_t nowMs) const;

  private:
    MonitorPower& power_;
    std::uint32_t intervalMs_;
    bool asked_ = false;
    std::uint64_t askedAt_ = 0;
    bool on_ = true;
    bool cameBack_ = false;
};
