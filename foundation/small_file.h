#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Reads the first `limit` bytes of a small regular file named by the user or found in a home
// folder. Whatever else the path names (a FIFO that would block the open with no writer, a
// device such as /dev/zero that never ends, a folder) is refused without being read from.
struct SmallFile {
    std::optional<std::vector<std::uint8_t>> bytes;
    // Why there are no bytes, a finished phrase naming no path ("no such file or directory",
    // "not a regular file"); empty with the bytes.
    std::string error;
    // The path names nothing at all (no bytes, and an error).
    bool missing = false;
};

SmallFile readSmallFile(const std::string& path, std::size_t limit);
