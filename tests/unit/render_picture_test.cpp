#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "picture/packed_pixels.h"
#include "picture/picture_scale.h"
#include "picture/picture_turn.h"
#include "picture/pixel_format.h"

namespace {

Picture gradient(std::int32_t w, std::int32_t h) {
    Picture p(w, h);
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            p.at(x, y)[0] = static_cast<std::uint8_t>(x * 17 + y);
            p.at(x, y)[1] = static_cast<std::uint8_t>(y * 29);
            p.at(x, y)[2] = static_cast<std::uint8_t>(255 - x * 3);
        }
    }
    return p;
}

Picture filled(std::int32_t w, std::int32_t h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    Picture p(w, h);
    for (size_t i = 0; i < p.rgb.size(); i += 3) {
        p.rgb[i] = r;
        p.rgb[i + 1] = g;
        p.rgb[i + 2] = b;
    }
    return p;
}

TEST(PictureScale, SameSizeIsACopy) {
    const Picture p = gradient(13, 7);
    EXPECT_EQ(scalePicture(p, 13, 7).rgb, p.rgb);
}

TEST(PictureScale, HalvingAveragesBlocks) {
    Picture p(4, 2);
    const std::uint8_t reds[] = {10, 20, 200, 201, 30, 41, 100, 100};
    for (int i = 0; i < 8; ++i) p.rgb[static_cast<size_t>(i) * 3] = reds[i];
    const Picture half = scalePicture(p, 2, 1);
    ASSERT_EQ(half.rgb.size(), 6u);
    EXPECT_EQ(half.at(0, 0)[0], 25);   // (10 + 20 + 30 + 41) / 4 = 25.25
    EXPECT_EQ(half.at(1, 0)[0], 150);  // (200 + 201 + 100 + 100) / 4 = 150.25
    // Three pixels into two: the middle one is shared half and half.
    Picture row(3, 1);
    row.rgb = {0, 0, 0, 90, 0, 0, 180, 0, 0};
    const Picture two = scalePicture(row, 2, 1);
    EXPECT_EQ(two.at(0, 0)[0], 30);   // (0 * 2 + 90 * 1) / 3
    EXPECT_EQ(two.at(1, 0)[0], 150);  // (90 * 1 + 180 * 2) / 3
}

TEST(PictureScale, GrowingBlendsNeighbours) {
    Picture row(2, 1);
    row.rgb = {0, 0, 0, 200, 0, 0};
    const Picture four = scalePicture(row, 4, 1);
    EXPECT_EQ(four.at(0, 0)[0], 0);  // beyond the first centre: the border pixel
    EXPECT_EQ(four.at(1, 0)[0], 50);
    EXPECT_EQ(four.at(2, 0)[0], 150);
    EXPECT_EQ(four.at(3, 0)[0], 200);
}

TEST(PictureScale, FlatColourStaysFlatAtAnyScale) {
    const Picture flat = filled(7, 5, 12, 250, 99);
    for (auto size : {std::pair<int, int>{3, 2}, {1, 1}, {16, 9}, {7, 20}, {100, 3}}) {
        const Picture s = scalePicture(flat, size.first, size.second);
        ASSERT_EQ(s.rgb.size(), static_cast<size_t>(size.first * size.second * 3));
        EXPECT_EQ(s.rgb, filled(size.first, size.second, 12, 250, 99).rgb)
            << size.first << "x" << size.second;
    }
}

TEST(PictureScale, RefusesEmptyOrInconsistentPictures) {
    EXPECT_THROW(scalePicture(Picture(), 4, 4), std::invalid_argument);
    EXPECT_THROW(scalePicture(gradient(4, 4), 0, 4), std::invalid_argument);
    Picture broken(4, 4);
    broken.rgb.resize(5);
    EXPECT_THROW(scalePicture(broken, 2, 2), std::invalid_argument);
}

// Pixels named by their red value, laid out as rows of text.
Picture named(const std::vector<std::vector<std::uint8_t>>& rows) {
    Picture p(static_cast<std::int32_t>(rows[0].size()), static_cast<std::int32_t>(rows.size()));
    for (std::int32_t y = 0; y < p.height; ++y) {
        for (std::int32_t x = 0; x < p.width; ++x) p.at(x, y)[0] = rows[y][x];
    }
    return p;
}

// The upright picture is  1 2 3 ; what a turned or mirrored output keeps is drawn beside each
//                         4 5 6   case, and each must give the upright picture back.
TEST(PictureTurn, UndoesEachTurnAndMirror) {
    const Picture upright = named({{1, 2, 3}, {4, 5, 6}});
    const struct {
        PictureTurn turn;
        std::vector<std::vector<std::uint8_t>> stored;
    } cases[] = {
        {{0, false}, {{1, 2, 3}, {4, 5, 6}}}, {{1, false}, {{3, 6}, {2, 5}, {1, 4}}},
        {{2, false}, {{6, 5, 4}, {3, 2, 1}}}, {{3, false}, {{4, 1}, {5, 2}, {6, 3}}},
        {{0, true}, {{3, 2, 1}, {6, 5, 4}}},  {{1, true}, {{1, 4}, {2, 5}, {3, 6}}},
        {{2, true}, {{4, 5, 6}, {1, 2, 3}}},  {{3, true}, {{6, 3}, {5, 2}, {4, 1}}},
    };
    for (const auto& c : cases) {
        const Picture back = uprightPicture(named(c.stored), c.turn);
        EXPECT_EQ(back.width, upright.width) << c.turn.quarters << " " << c.turn.mirrored;
        EXPECT_EQ(back.rgb, upright.rgb) << c.turn.quarters << " " << c.turn.mirrored;
    }
}

// One pixel of `bpp` bits read back as RGB by pictureOf.
void unpack(std::uint32_t bpp, std::uint32_t pixel, std::uint8_t& r, std::uint8_t& g,
            std::uint8_t& b) {
    MemorySurface s(1, 1, bpp);
    for (std::uint32_t i = 0; i < bpp / 8; ++i)
        s.row(0)[i] = static_cast<std::uint8_t>(pixel >> (8 * i));
    const Picture p = pictureOf(s);
    r = p.at(0, 0)[0];
    g = p.at(0, 0)[1];
    b = p.at(0, 0)[2];
}

TEST(PixelFormat, PacksAndUnpacksEachDepth) {
    EXPECT_EQ(channelMasksFor(16).r, 0xF800u);
    EXPECT_EQ(channelMasksFor(32).b, 0xFFu);
    EXPECT_THROW(channelMasksFor(8), std::invalid_argument);

    EXPECT_EQ(packPixel(16, 255, 255, 255), 0xFFFFu);
    EXPECT_EQ(packPixel(16, 0x80, 0x40, 0x08), (16u << 11) | (16u << 5) | 1u);
    EXPECT_EQ(packPixel(24, 1, 2, 3), 0x010203u);
    std::uint8_t r, g, b;
    unpack(16, 0xFFFF, r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 255);
    unpack(16, (16u << 11) | (32u << 5) | 1u, r, g, b);
    EXPECT_EQ(r, 0x84);
    EXPECT_EQ(g, 0x82);
    EXPECT_EQ(b, 0x08);
    unpack(32, 0xAA123456u, r, g, b);
    EXPECT_EQ(r, 0x12);
    EXPECT_EQ(g, 0x34);
    EXPECT_EQ(b, 0x56);
}

TEST(PixelFormat, SurfaceRoundTripKeepsRowPadding) {
    const Picture p = gradient(5, 3);
    for (std::uint32_t bpp : {24u, 32u}) {
        MemorySurface s(5, 3, bpp, 24);  // wider than any row, as display surfaces can be
        fillSurface(p, s);
        EXPECT_EQ(pictureOf(s).rgb, p.rgb) << bpp;
        EXPECT_EQ(s.row(0)[bpp / 8 * 5], MemorySurface::kPadding);
        EXPECT_EQ(s.row(2)[23], MemorySurface::kPadding);
    }
    // Bytes are little-endian values: blue first; the fourth byte at 32 bits is 0.
    MemorySurface s32(5, 3, 32);
    fillSurface(p, s32);
    EXPECT_EQ(s32.row(1)[0], p.at(0, 1)[2]);
    EXPECT_EQ(s32.row(1)[2], p.at(0, 1)[0]);
    EXPECT_EQ(s32.row(1)[3], 0);

    // 16 bits loses the low bits but keeps the top ones.
    MemorySurface s16(5, 3, 16);
    fillSurface(p, s16);
    const Picture back = pictureOf(s16);
    for (size_t i = 0; i < p.rgb.size(); ++i) {
        const int keep = (i % 3 == 1) ? 0xFC : 0xF8;
        EXPECT_EQ(back.rgb[i] & keep, p.rgb[i] & keep) << i;
    }
    EXPECT_THROW(fillSurface(gradient(4, 3), s16), std::invalid_argument);
}

TEST(PixelFormat, WidensToTenBitsByRepeatingTheTopBits) {
    EXPECT_EQ(widenTo10(0), 0u);
    EXPECT_EQ(widenTo10(255), 1023u);
    EXPECT_EQ(widenTo10(0x80), 0x202u);
    EXPECT_EQ(widenTo10(0x41), 0x105u);
    for (std::uint32_t v = 0; v < 256; ++v) {
        EXPECT_EQ(widenTo10(v) >> 2, v);  // a 10-bit desktop read back gives the picture again
        EXPECT_EQ(widenTo10(v) & 3u, v >> 6);
    }
    // Red into bits 20-29, green 10-19, blue 0-9; the unused top byte stays out.
    EXPECT_EQ(widenPixelTo30(0xAAFF8001u), (1023u << 20) | (0x202u << 10) | 4u);
    EXPECT_EQ(widenPixelTo30(0x00FFFFFFu), kTenBitMasks.r | kTenBitMasks.g | kTenBitMasks.b);

    // Only the rectangle is widened, each surface with its own pitch.
    MemorySurface from(6, 4, 32);
    fillSurface(gradient(6, 4), from);
    MemorySurface to(6, 4, 32, 40);
    for (std::uint32_t y = 0; y < 4; ++y) std::memset(to.row(y), 0x5A, to.rowBytes());
    widenRectTo30(from.description(), to.description(), 1, 2, 3, 2);
    for (std::uint32_t y = 0; y < 4; ++y) {
        for (std::uint32_t x = 0; x < 6; ++x) {
            std::uint32_t in;
            std::uint32_t out;
            std::memcpy(&in, from.row(y) + 4 * x, 4);
            std::memcpy(&out, to.row(y) + 4 * x, 4);
            const bool inside = x >= 1 && x < 4 && y >= 2;
            EXPECT_EQ(out, inside ? widenPixelTo30(in) : 0x5A5A5A5Au) << x << "," << y;
        }
        EXPECT_EQ(to.row(y)[24], MemorySurface::kPadding);
    }
}

}  // namespace

// Each packing a display server hands pixels over in, read back to the same RGB: 8-bit
// channels in either order and with a fourth byte, 10-bit ones, 5-6-5 and 3 bytes a pixel, and
// rows stored bottom first.
TEST(PackedPixels, ReadsEachLayoutLeastSignificantByteFirst) {
    const struct {
        int bytes;
        ChannelMasks masks;
        std::vector<std::uint8_t> row;  // two pixels: (255, 128, 1) and (0, 64, 255)
        std::uint8_t expected[6];
    } cases[] = {
        {4,
         {0xFF0000u, 0xFF00u, 0xFFu},
         {1, 128, 255, 9, 255, 64, 0, 9},
         {255, 128, 1, 0, 64, 255}},
        {4,
         {0xFFu, 0xFF00u, 0xFF0000u},
         {255, 128, 1, 9, 0, 64, 255, 9},
         {255, 128, 1, 0, 64, 255}},
        {3, {0xFF0000u, 0xFF00u, 0xFFu}, {1, 128, 255, 255, 64, 0}, {255, 128, 1, 0, 64, 255}},
        // 10 bits: red 1023, green 512, blue 4; then 0, 256, 1023.
        {4,
         {0x3FF00000u, 0xFFC00u, 0x3FFu},
         {0x04, 0x00, 0xF8, 0x3F, 0xFF, 0x03, 0x04, 0x00},
         {255, 128, 1, 0, 64, 255}},
        // 5-6-5: red 31, green 32, blue 0 (0xFC00); then 0, 16, 31 (0x021F).
        {2, {0xF800u, 0x07E0u, 0x001Fu}, {0x00, 0xFC, 0x1F, 0x02}, {255, 130, 0, 0, 65, 255}},
    };
    for (const auto& c : cases) {
        // The same row twice, the second time bottom first.
        std::vector<std::uint8_t> two = c.row;
        two.insert(two.end(), c.row.begin(), c.row.end());
        const auto step = static_cast<std::ptrdiff_t>(c.row.size());
        for (const bool bottomFirst : {false, true}) {
            const Picture p =
                pictureOfPackedPixels(PackedPixels{two.data() + (bottomFirst ? step : 0), 2, 2,
                                                   bottomFirst ? -step : step, c.bytes, c.masks});
            for (int y = 0; y < 2; ++y) {
                EXPECT_EQ(0, std::memcmp(p.at(0, y), c.expected, 6))
                    << c.bytes << " bytes, masks " << c.masks.r << ", row " << y;
            }
        }
    }
}
