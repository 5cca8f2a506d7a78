#include "foundation/structured_exception.h"

#include <gtest/gtest.h>

#include <string>

TEST(StructuredException, NamesKnownFaultsWithPointerWideAddress) {
    const std::string digits(sizeof(void*) * 2 - 4, '0');
    EXPECT_EQ(StructuredException::describe(0xC0000094u, 0x1A2Bu),
              "exception INT_DIVIDE_BY_ZERO (0xC0000094) at address " + digits + "1A2B");
    EXPECT_EQ(StructuredException::describe(0x80000001u, 0xBEEFu),
              "exception GUARD_PAGE (0x80000001) at address " + digits + "BEEF");
    StructuredException fault(0xC0000005u, nullptr, 0xFFu);
    EXPECT_EQ(std::string(fault.what()),
              "exception ACCESS_VIOLATION (0xC0000005) at address " + digits + "00FF");
    EXPECT_EQ(fault.code(), 0xC0000005u);
}

TEST(StructuredException, UnknownCodeIsUnknown) {
    EXPECT_EQ(StructuredException::describe(0xE06D7363u, 0x1234u), "unknown.");
    EXPECT_EQ(StructuredException::describe(0u, 0u), "unknown.");
}
