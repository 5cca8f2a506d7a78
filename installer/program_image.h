#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Installer {

// How much of a file's start isProgramImage needs to see.
constexpr std::size_t kProgramHeadBytes = 4096;

// True when `head`, the start of a file, opens like a Windows program: the "MZ" header whose
// offset at 0x3C points at the "PE\0\0" signature.
bool isProgramImage(const std::vector<std::uint8_t>& head);

}  // namespace Installer
