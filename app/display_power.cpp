#include "app/display_power.h"

DisplayPower::Change DisplayPower::report(std::uint32_t state, std::uint32_t now) {
    if (state == Off) {
        if (paused_) return Change::None;
        paused_ = true;
        pausedAt_ = now;
        return Change::Paused;
    }
    if (!paused_) return Change::None;
    paused_ = false;
    timeOff_ += now - pausedAt_;
    return Change::Resumed;
}
