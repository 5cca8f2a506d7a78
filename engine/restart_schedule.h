#pragma once

#include <cstdint>

// When the saver wipes the glass and lets the rain start again. Tick values are the system's
// millisecond counter, which wraps every 49.7 days.
namespace RestartSchedule {

// The longest period: a day. Stored minutes and seconds come from the registry and may be
// anything; a day keeps every later tick comparison well inside the counter's range.
constexpr std::int32_t MaxPeriodMs = 24 * 60 * 60 * 1000;

// The shortest period: a second, the least the Display page accepts. A stored 0:00 (written
// elsewhere) would wipe the glass on every frame and never show a drop.
constexpr std::int32_t MinPeriodMs = 1000;

// (seconds + 60 * minutes) * 1000, computed without overflow, bounded to a second at least and a
// day at most.
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
