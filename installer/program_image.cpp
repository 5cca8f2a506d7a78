#include "installer/program_image.h"

namespace Installer {

bool isProgramImage(const std::vector<std::uint8_t>& head) {
    constexpr std::size_t kNewHeaderOffset = 0x3C;
    if (head.size() < kNewHeaderOffset + 4 || head[0] != 'M' || head[1] != 'Z') return false;
    std::uint32_t at = 0;
    for (int i = 3; i >= 0; --i) at = (at << 8) | head[kNewHeaderOffset + i];
    if (at > head.size() - 4) return false;
    return head[at] == 'P' && head[at + 1] == 'E' && head[at + 2] == 0 && head[at + 3] == 0;
}

}  // namespace Installer
