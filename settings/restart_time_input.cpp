#include "settings/restart_time_input.h"

#include "settings/typed_number.h"

namespace RestartTimeInput {

Refused refusedField(const std::string& minutes, const std::string& seconds, bool restartEnabled) {
    const auto typedMinutes = typedCount(minutes);
    if (!typedMinutes) return Refused::Minutes;
    const auto typedSeconds = typedCount(seconds);
    if (!typedSeconds) return Refused::Seconds;
    if (restartEnabled && *typedMinutes == 0 && *typedSeconds == 0) return Refused::Seconds;
    return Refused::Nothing;
}

}  // namespace RestartTimeInput
