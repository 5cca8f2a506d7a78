#pragma once

#include <cstddef>

// Asks the system to back the whole 2 MiB pages inside [address, address + bytes) with huge
// pages when they are first touched, so that the scattered reads of a screen-sized picture miss
// the address translation caches far less. Only advice: where the system has no such pages,
// or declines, nothing changes. Call it before the memory is first written.
void adviseHugePages(void* address, std::size_t bytes);
