#pragma once

#include <string>

// The restart time as typed into the Display page's minutes and seconds fields.
namespace RestartTimeInput {

enum class Refused { Nothing, Minutes, Seconds };

// The first field the page must refuse. Each must be a count that fits its stored field (see
// typedCount), checked even while restarting is off, as they are stored all the same. With
// restarting on, 0 minutes 0 seconds is refused on the seconds field: the glass would be wiped on
// every frame and no drop ever shown. Off, the time is kept but never used, so it passes.
Refused refusedField(const std::string& minutes, const std::string& seconds, bool restartEnabled);

}  // namespace RestartTimeInput
