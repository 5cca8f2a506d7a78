#include "app/monitor_power_watch.h"

bool MonitorPowerWatch::on(std::uint64_t nowMs) {
    if (asked_ && nowMs - askedAt_ < intervalMs_) return on_;
    asked_ = true;
    askedAt_ = nowMs;
    const bool on = power_.on();
    if (on && !on_) cameBack_ = true;
    on_ = on;
    return on_;
}

bool MonitorPowerWatch::takeCameBack() {
    const bool cameBack = cameBack_;
    cameBack_ = false;
    return cameBack;
}

std::uint64_t MonitorPowerWatch::untilNextAsk(std::uint64_t nowMs) const {
    if (!asked_) return 0;
    const std::uint64_t since = nowMs - askedAt_;
    return since >= intervalMs_ ? 0 : intervalMs_ - since;
}
