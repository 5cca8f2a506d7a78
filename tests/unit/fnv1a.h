#pragma once

#include <cstdint>
#include <vector>

// The 64-bit FNV-1a hash of a picture's bytes, which pinned frames are compared by.
inline std::uint64_t fnv1a(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (std::uint8_t b : bytes) {
        h ^= b;
        h *= 1099511628211ull;
    }
    return h;
}
