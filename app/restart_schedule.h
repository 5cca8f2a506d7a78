#pragma once

#include <cstdint>

// When the saver wipes the glass and lets the rain start again. Tick values are the system's
// millisecond counter, which wraps every 49.7 days.
namespace RestartSchedule {

// The longest period: a day. Stored minutes and seconds come from the registry and may be
// anything; a day keeps every later tick comparison well inside the counter's range.
constexpr std::int32_t MaxPeriodMs = 24 * 60 * 60 * 1000;

// (seconds + 60 * minutes) * 1000, computed without overflow, capped at a day; a negative
// total is 0, which restarts on every frame.
std::int32_t periodMs(std::int32_t minutes, std::int32_t seconds);

// The first due tick, one period after `now`.
std::uint32_t firstDue(std::uint32_t now, std::int32_t period);

// True once `now` is past `due`. Compared as a signed difference so that a due tick beyond
// the counter's wrap is not taken as long past.
bool isDue(std::uint32_t now, std::uint32_t due);

// The next due tick after a restart at `now`: one period after the previous due tick, so the
// rhythm does not drift with late frames. After a long stall (a suspended machine) the missed
// restarts are dropped instead of being replayed one per frame.
std::uint32_t advance(std::uint32_t due, std::int32_t period, std::uint32_t now);

}  // namespace RestartSchedule
