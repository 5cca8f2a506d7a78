#pragma once

#include <cstddef>
#include <vector>

// Asks the system to back the whole 2 MiB pages inside [address, address + bytes) with huge
// pages when they are first touched, so that the scattered reads of a screen-sized picture miss
// the address translation caches far less. Only advice: where the system has no such pages,
// or declines, nothing changes. Call it before the memory is first written.
void adviseHugePages(void* address, std::size_t bytes);

// Makes `v` hold `count` copies of `value`, its memory advised as above before they are
// written: for a vector that is empty, so that the memory it reserves is fresh.
template <typename T>
void assignOnHugePages(std::vector<T>& v, std::size_t count, const T& value) {
    v.reserve(count);
    adviseHugePages(v.data(), count * sizeof(T));
    v.assign(count, value);
}
