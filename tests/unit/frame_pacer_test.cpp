#include "engine/frame_pacer.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

namespace {

TEST(FramePacer, KeepsTheRhythmThroughLateFramesWithoutABurstAndStopsAtTheLimit) {
    const FramePacer::Time t0 = FramePacer::Time{} + 1h;
    FramePacer pacer(20ms, 4, t0);
    EXPECT_EQ(pacer.stepMs(), 20u);
    EXPECT_TRUE(pacer.due(t0)) << "the first frame at once";

    // A frame that took 5 ms: the next is due one delay after this one was, to the nanosecond.
    pacer.drawn(t0 + 5ms);
    EXPECT_EQ(pacer.untilDue(t0 + 5ms), 15ms);
    EXPECT_EQ(pacer.untilDue(t0 + 19999us + 1ns), 999ns);
    EXPECT_FALSE(pacer.due(t0 + 19999us));
    EXPECT_TRUE(pacer.due(t0 + 20ms));

    // Drawn 10 ms late: the one after is still due on the beat, at 40 ms.
    pacer.drawn(t0 + 30ms);
    EXPECT_FALSE(pacer.due(t0 + 39ms));
    EXPECT_EQ(pacer.untilDue(t0 + 30ms), 10ms);
    EXPECT_FALSE(pacer.allDrawn());

    // Stalled far beyond a delay: the next frame at once, then on a beat counted from the
    // stall, not a burst of the frames missed.
    pacer.drawn(t0 + 500ms);
    EXPECT_TRUE(pacer.due(t0 + 500ms));
    EXPECT_FALSE(pacer.allDrawn()) << "three of four";
    pacer.drawn(t0 + 501ms);
    EXPECT_EQ(pacer.untilDue(t0 + 501ms), 19ms);
    EXPECT_EQ(pacer.untilDue(t0 + 600ms), 0ns) << "never a negative wait";
    EXPECT_TRUE(pacer.allDrawn()) << "four of four";

    // No limit: never all drawn. The rain's clock moves at least a millisecond a frame.
    FramePacer endless(1500us, 0, t0);
    for (int i = 0; i < 1000; ++i) endless.drawn(t0 + i * 1500us);
    EXPECT_FALSE(endless.allDrawn());
    EXPECT_EQ(endless.untilDue(t0 + 999 * 1500us), 1500us) << "waits below the millisecond";
    EXPECT_EQ(endless.stepMs(), 1u);
    EXPECT_EQ(FramePacer(0us, 0, t0).stepMs(), 1u);
    EXPECT_EQ(FramePacer(10'000'000us, 0, t0).stepMs(), 10000u);
}

}  // namespace
