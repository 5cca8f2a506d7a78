#include "foundation/huge_pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

void adviseHugePages(void* address, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(address);
    if (bytes < kHugePage || start > UINTPTR_MAX - bytes) return;
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (start + bytes) & ~(kHugePage - 1);
    if (first < end) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
    // Windows gives large pages only to accounts holding a privilege a screen saver should not
    // ask for; elsewhere there is nothing to ask.
    (void)address;
    (void)bytes;
#endif
}
