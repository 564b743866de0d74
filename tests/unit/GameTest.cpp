#include "app/Game.h"

#include <gtest/gtest.h>

TEST(GameFrameTime, ShortFramesPassThroughUnchanged) {
    const FrameTiming timing = frameTimeBetween(1000, 1016);
    EXPECT_DOUBLE_EQ(timing.seconds, 0.016);
    EXPECT_FALSE(timing.clamped);
    EXPECT_DOUBLE_EQ(frameTimeBetween(5, 5).seconds, 0.0);
}

TEST(GameFrameTime, ClampsAtOneHundredTwentyMillisecondsAndClearsOnlyAboveIt) {
    const FrameTiming exact = frameTimeBetween(0, 120);
    EXPECT_DOUBLE_EQ(exact.seconds, 0.12);
    EXPECT_FALSE(exact.clamped);

    const FrameTiming over = frameTimeBetween(0, 121);
    EXPECT_DOUBLE_EQ(over.seconds, 0.12);
    EXPECT_TRUE(over.clamped);

    const FrameTiming loading = frameTimeBetween(10, 2500);
    EXPECT_DOUBLE_EQ(loading.seconds, 0.12);
    EXPECT_TRUE(loading.clamped);
}

TEST(GameFrameTime, ClockWrapStillGivesTheShortFrame) {
    // The elapsed-time counter is signed; the difference is taken unsigned.
    const FrameTiming timing = frameTimeBetween(2147483640, -2147483640);
    EXPECT_NEAR(timing.seconds, 0.016, 1e-12);
    EXPECT_FALSE(timing.clamped);
}

TEST(GameFrameTime, ClockGoingBackwardsIsALongStall) {
    const FrameTiming timing = frameTimeBetween(500, 400);
    EXPECT_DOUBLE_EQ(timing.seconds, 0.12);
    EXPECT_TRUE(timing.clamped);
}
