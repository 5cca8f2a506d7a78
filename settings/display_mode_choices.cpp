#include "settings/display_mode_choices.h"

#include <algorithm>
#include <tuple>

namespace {

auto key(const DisplayMode& mode) {
    return std::make_tuple(mode.width(), mode.height(), mode.bits_per_pixel(), mode.refresh_rate());
}

}  // namespace

void sortModes(DisplayModeList& modes) {
    std::stable_sort(modes.begin(), modes.end(), [](const auto& a, const auto& b) {
        if (!a || !b) return a && !b;
        return key(*a) < key(*b);
    });
}

std::string modeText(const DisplayMode& mode) {
    return std::to_string(mode.width()) + "x" + std::to_string(mode.height()) + " " +
           std::to_string(mode.bits_per_pixel()) + " bits " + std::to_string(mode.refresh_rate()) +
           "Hz";
}

int storedModeIndex(const DisplayModeList& modes, int width, int height, int bits, int refresh) {
    if (width < 0 || height < 0 || bits < 0 || refresh < 0) return -1;
    const auto wanted =
        std::make_tuple(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                        static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(refresh));
    int found = -1;
    for (std::size_t i = 0; i < modes.size(); ++i) {
        if (modes[i] && key(*modes[i]) == wanted) found = static_cast<int>(i);
    }
    return found;
}
