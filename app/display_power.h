#pragma once

#include <cstdint>

// Whether anybody can see the rain, from the system's reports of the console display's state,
// and the rain's own millisecond clock, which stands still while the display is off: when it
// comes back the drops, the restart rhythm and the present plan go on from where they were,
// as if no time had passed.
class DisplayPower {
  public:
    // The system's states of the console display.
    static constexpr std::uint32_t Off = 0;
    static constexpr std::uint32_t On = 1;
    static constexpr std::uint32_t Dimmed = 2;

    enum class Change {
        None,
        // Nobody sees the screen: no frame is drawn and the timer need not wake the thread.
        Paused,
        // Seen again: frames go on, and the whole picture is shown once, on every monitor.
        Resumed,
    };

    // A report of `state` at the system tick `now`. A dimmed screen is still seen, so the rain
    // goes on there; an unknown state counts as on, since rain that nobody sees costs less than
    // a saver that stops where it can be seen.
    Change report(std::uint32_t state, std::uint32_t now);

    bool running() const { return !paused_; }

    // The rain's tick at the system tick `now`: the system's, less all the time spent off.
    // While off it stays at the tick the display went off.
    std::uint32_t rainTick(std::uint32_t now) const {
        return (paused_ ? pausedAt_ : now) - timeOff_;
    }

  private:
    bool paused_ = false;
    std::uint32_t pausedAt_ = 0;
    // Wraps with the system's counter; only differences of rain ticks are ever used.
    std::uint32_t timeOff_ = 0;
};
