#include "settings/settings_format.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const std::vector<uint8_t> kDefaultBytes = {
    0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x19, 0x00, 0x00, 0x00, 0x28, 0x00,
    0x00, 0x00, 0xE4, 0xCB, 0x16, 0x40, 0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x1E, 0x00, 0x00, 0x00, 0x20, 0x03, 0x00, 0x00,
    0x80, 0x02, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00, 0x50, 0x00, 0x00, 0x00};

std::vector<uint8_t> bytesOf(const SaverSettings& s) {
    std::vector<uint8_t> out;
    writeConfiguration(s, out);
    return out;
}

TEST(SettingsFormat, DefaultRecordIsTheKnownBytes) {
    EXPECT_EQ(bytesOf(SaverSettings()), kDefaultBytes);
}

TEST(SettingsFormat, UnusualRecordRoundTripsFieldByField) {
    SaverSettings s;
    uint32_t oddBits = 0x3F800001;  // 1.0f plus one ulp
    float odd;
    std::memcpy(&odd, &oddBits, 4);
    s.setWindDirection(odd);
    s.setRestartMinutes(99);
    s.setDropRadiusSpread(-7);
    s.setDensity(-1);
    s.setUseDesktopMode(false);
    s.setRestartEnabled(true);
    s.setDisplayMode(1920, 1080, 8, 0);
    std::vector<uint8_t> bytes = bytesOf(s);
    ASSERT_EQ(bytes.size(), CONFIGURATION_SIZE);
    auto back = readConfiguration(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(bytesOf(*back), bytes);
    float dir = back->windDirection();
    uint32_t backBits;
    std::memcpy(&backBits, &dir, 4);
    EXPECT_EQ(backBits, oddBits);
    EXPECT_EQ(back->restartMinutes(), 99);
    EXPECT_EQ(back->dropRadiusSpread(), -7);
    EXPECT_FALSE(back->useDesktopMode());
    EXPECT_TRUE(back->restartEnabled());
}

TEST(SettingsFormat, ShortAndLongValues) {
    EXPECT_FALSE(readConfiguration(nullptr, 0));
    EXPECT_FALSE(readConfiguration(kDefaultBytes.data(), 3));

    // Only the format version: a record of defaults.
    auto onlyVersion = readConfiguration(kDefaultBytes.data(), 4);
    ASSERT_TRUE(onlyVersion);
    EXPECT_EQ(bytesOf(*onlyVersion), kDefaultBytes);

    // Cut inside restartMinutes: fields before it are read, the rest keep defaults.
    SaverSettings s;
    s.setDensity(7);
    s.setRestartEnabled(true);
    s.setRestartMinutes(11);
    s.setDisplayMode(1, 2, 3, 4);
    std::vector<uint8_t> bytes = bytesOf(s);
    auto cut = readConfiguration(bytes.data(), 32);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->density(), 7);
    EXPECT_TRUE(cut->restartEnabled());
    EXPECT_EQ(cut->restartMinutes(), 2);
    int w, h, b, r;
    cut->displayMode(w, h, b, r);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(r, 80);

    // Cut inside the wind direction: the flags after it are not read from the cut field's
    // bytes (the default direction's bytes would switch restart on).
    auto cutDirection = readConfiguration(kDefaultBytes.data(), 19);
    ASSERT_TRUE(cutDirection);
    EXPECT_EQ(bytesOf(*cutDirection), kDefaultBytes);
    auto cutFlags = readConfiguration(bytes.data(), 29);
    ASSERT_TRUE(cutFlags);
    EXPECT_TRUE(cutFlags->useDesktopMode());
    EXPECT_FALSE(cutFlags->restartEnabled()) << "the second flag is past the end";

    // Bytes past the record are ignored.
    bytes.insert(bytes.end(), {0xAA, 0xBB, 0xCC});
    auto longer = readConfiguration(bytes.data(), bytes.size());
    ASSERT_TRUE(longer);
    EXPECT_EQ(bytesOf(*longer), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 54));
}

TEST(SettingsFormat, VersionWordsAreNotCompared) {
    std::vector<uint8_t> bytes = kDefaultBytes;
    bytes[0] = 0x07;
    bytes[1] = 0x00;
    bytes[5] = 0x09;
    bytes[8] = 0x2A;   // density 42
    bytes[28] = 0x05;  // a non-zero flag byte is true
    auto s = readConfiguration(bytes.data(), bytes.size());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->density(), 42);
    EXPECT_TRUE(s->useDesktopMode());
    EXPECT_EQ(s->restartSeconds(), 30);
}

}  // namespace
