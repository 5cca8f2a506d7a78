#include "settings/typed_number.h"

#include <cstdint>
#include <limits>

std::optional<int> typedCount(const std::string& text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    const std::size_t first = i;
    std::int64_t value = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    if (i == first) return std::nullopt;
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return std::nullopt;
    return static_cast<int>(value);
}
