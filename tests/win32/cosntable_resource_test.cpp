#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "foundation/win32/module_resources.h"
#include "render/tracer/cosntable.h"

// The saver reads its highlight table in place from the program's data resource; it must hold
// exactly the table the core is built with.
TEST(CosnTableResource, MatchesTheBuiltInTable) {
    std::uint32_t size = 0;
    const auto* bytes = static_cast<const unsigned char*>(Resources::namedData("COSNTABLE", size));
    ASSERT_NE(bytes, nullptr);
    ASSERT_EQ(size, std::uint32_t(kCosnTableSize * sizeof(std::int32_t)));
    for (int i = 0; i < kCosnTableSize; ++i) {
        // Little-endian on disk, whatever the alignment of the resource data.
        const std::int32_t v = std::int32_t(
            std::uint32_t(bytes[4 * i]) | (std::uint32_t(bytes[4 * i + 1]) << 8) |
            (std::uint32_t(bytes[4 * i + 2]) << 16) | (std::uint32_t(bytes[4 * i + 3]) << 24));
        EXPECT_EQ(v, kCosnTable[i]) << i;
    }
    const auto* table = reinterpret_cast<const std::int32_t*>(bytes);
    EXPECT_EQ(table[0], 65536);
    EXPECT_EQ(table[4], 18026);
    EXPECT_EQ(table[13], 698);
    EXPECT_EQ(table[19], 57);
    EXPECT_EQ(table[27], 1);
    EXPECT_EQ(table[64], 0);
    EXPECT_EQ(table[128], 65536);
}

TEST(CosnTableResource, AnAbsentNameGivesNoData) {
    std::uint32_t size = 7;
    EXPECT_EQ(Resources::namedData("NOSUCHTABLE", size), nullptr);
    EXPECT_EQ(size, 0u);
}
