#include "engine/frame_presentation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using Send = FramePresentation::Send;

namespace {

// Inclusive corners, as the flush records them.
DirtyRect rect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    return DirtyRect{left, bottom, right, top};
}

// Whether every pixel of `r` lies inside one of `areas`.
bool covered(const std::vector<PixelArea>& areas, const DirtyRect& r) {
    for (std::int32_t y = r.top; y <= r.bottom; ++y)
        for (std::int32_t x = r.left; x <= r.right; ++x) {
            bool in = false;
            for (const auto& a : areas)
                in = in || (x >= a.left && x < a.right && y >= a.top && y < a.bottom);
            if (!in) return false;
        }
    return true;
}

}  // namespace

TEST(FramePresentation, WholeWhenDueOtherwiseOnlyTheChangedAreasOrNothing) {
    FramePresentation p(0);
    const std::vector<DirtyRect> none;
    // What the screen gets for each plan: the whole picture as one area, or nothing.
    Send send = p.plan(none, 640, 480, 100);
    EXPECT_EQ(send, Send::Whole) << "the first frame";
    std::vector<PixelArea> sent = areasToSend(send, p.areas(), 640, 480);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sent[0].left == 0 && sent[0].top == 0 && sent[0].right == 640 &&
                sent[0].bottom == 480);
    send = p.plan(none, 640, 480, 120);
    EXPECT_EQ(send, Send::Nothing);
    EXPECT_TRUE(areasToSend(send, p.areas(), 640, 480).empty());

    // Overlapping rectangles of one drop join; a far one stays apart; both inclusive edges
    // are copied, and what lies beyond the picture is cut off.
    const std::vector<DirtyRect> traced = {rect(10, 10, 29, 29), rect(12, 14, 31, 33),
                                           rect(400, 300, 419, 319), rect(630, 470, 639, 479)};
    ASSERT_EQ(p.plan(traced, 640, 480, 140), Send::Areas);
    EXPECT_EQ(p.areas().size(), 3u);
    std::int64_t copied = 0;
    for (const auto& a : p.areas()) {
        EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= 640 && a.bottom <= 480);
        copied += a.pixels();
    }
    for (const DirtyRect& r : traced) EXPECT_TRUE(covered(p.areas(), r));
    EXPECT_LT(copied, 22 * 24 + 400 + 100 + 50) << "a box only where it hardly costs more";
    sent = areasToSend(Send::Areas, p.areas(), 640, 480);
    ASSERT_EQ(sent.size(), p.areas().size()) << "the planned areas, as they are";
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_TRUE(sent[i].left == p.areas()[i].left && sent[i].top == p.areas()[i].top &&
                    sent[i].right == p.areas()[i].right && sent[i].bottom == p.areas()[i].bottom);
    }

    // A restart asks for the whole picture; asking twice still sends it once.
    p.presentWholeNextFrame();
    p.presentWholeNextFrame();
    EXPECT_EQ(p.plan(traced, 640, 480, 160), Send::Whole);
    EXPECT_EQ(p.plan(traced, 640, 480, 180), Send::Areas);
    EXPECT_EQ(p.plan(none, 640, 480, 200), Send::Nothing);

    // Areas that together cover the picture go as one whole copy.
    EXPECT_EQ(p.plan({rect(0, 0, 639, 479)}, 640, 480, 220), Send::Whole);
}

TEST(FramePresentation, ASafetyCopyFollowsASecondOfAreasEvenAcrossTheTickWrap) {
    FramePresentation p(0);
    const std::vector<DirtyRect> drop = {rect(5, 5, 9, 9)};
    std::uint32_t now = 0xFFFFFF00u;
    EXPECT_EQ(p.plan(drop, 64, 48, now), Send::Whole);
    int wholes = 0, frames = 0;
    for (; wholes == 0; ++frames) {
        now += 20;
        wholes += p.plan(drop, 64, 48, now) == Send::Whole;
    }
    EXPECT_EQ(frames, 50);
    // Without areas sent since, nothing is owed: a still pane stays untouched.
    now += 5000;
    EXPECT_EQ(p.plan({}, 64, 48, now), Send::Nothing);

    // Dear copies merge far apart areas into one box; a flood of rectangles goes whole.
    FramePresentation boxes(100000);
    boxes.plan({}, 640, 480, 0);
    ASSERT_EQ(boxes.plan({rect(0, 0, 1, 1), rect(100, 50, 101, 51)}, 640, 480, 20), Send::Areas);
    ASSERT_EQ(boxes.areas().size(), 1u);
    EXPECT_EQ(boxes.areas()[0].pixels(), 102 * 52);
    const std::vector<DirtyRect> flood(5000, rect(1, 1, 2, 2));
    EXPECT_EQ(boxes.plan(flood, 640, 480, 40), Send::Whole);

    // Two far corners of 16 x 16: apart while a copy costs 100,000 pixels, but at 200,000 the
    // two copies cost more than the whole picture of 307,200.
    const std::vector<DirtyRect> corners = {rect(0, 0, 15, 15), rect(624, 464, 639, 479)};
    FramePresentation dear(100000), dearer(200000);
    dear.plan({}, 640, 480, 0);
    dearer.plan({}, 640, 480, 0);
    ASSERT_EQ(dear.plan(corners, 640, 480, 20), Send::Areas);
    EXPECT_EQ(dear.areas().size(), 2u);
    EXPECT_EQ(dearer.plan(corners, 640, 480, 20), Send::Whole);
}
