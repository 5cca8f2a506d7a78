#pragma once

#include <cstdint>

// The highlight table, computed at build time: entry i is floor(65536 * |(i - 64) / 64|^20).
// The saver reads the same 129 values from its "COSNTABLE" data resource.
constexpr int kCosnTableSize = 129;
extern const std::int32_t kCosnTable[kCosnTableSize];
