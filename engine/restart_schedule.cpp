#include "engine/restart_schedule.h"

namespace RestartSchedule {

std::int32_t periodMs(std::int32_t minutes, std::int32_t seconds) {
    const std::int64_t total =
        (static_cast<std::int64_t>(seconds) + 60 * static_cast<std::int64_t>(minutes)) * 1000;
    if (total < MinPeriodMs) return MinPeriodMs;
    if (total > MaxPeriodMs) return MaxPeriodMs;
    return static_cast<std::int32_t>(total);
}

std::uint32_t firstDue(std::uint32_t now, std::int32_t period) {
    return now + static_cast<std::uint32_t>(period < 0 ? 0 : period);
}

bool isDue(std::uint32_t now, std::uint32_t due) {
    return static_cast<std::int32_t>(now - due) > 0;
}

std::uint32_t advance(std::uint32_t due, std::int32_t period, std::uint32_t now) {
    const auto step = static_cast<std::uint32_t>(period < 0 ? 0 : period);
    const std::uint32_t next = due + step;
    if (static_cast<std::int32_t>(now - next) > MaxPeriodMs) return now + step;
    return next;
}

}  // namespace RestartSchedule
