#include "board/Sparkle.h"

#include <gtest/gtest.h>

TEST(Sparkle, GrowsToFullSizeAtHalfASecondAndShrinksBack) {
    Sparkle sparkle;
    sparkle.advance(0.25f);
    EXPECT_FLOAT_EQ(sparkle.scale, 0.75f);
    EXPECT_FLOAT_EQ(sparkle.angle, 33.75f);

    sparkle.advance(0.25f);
    EXPECT_FLOAT_EQ(sparkle.scale, 1.0f);
    EXPECT_FLOAT_EQ(sparkle.angle, 45.0f);

    sparkle.advance(0.25f);
    EXPECT_FLOAT_EQ(sparkle.scale, 0.75f);
    EXPECT_FALSE(sparkle.dead);
}

TEST(Sparkle, DiesOnlyOncePastOneSecond) {
    Sparkle sparkle;
    sparkle.advance(1.0f);
    EXPECT_FLOAT_EQ(sparkle.scale, 0.0f);
    EXPECT_FALSE(sparkle.dead) << "at exactly one second the size is 0, not below";

    sparkle.advance(0.01f);
    EXPECT_LT(sparkle.scale, 0.0f);
    EXPECT_TRUE(sparkle.dead);

    sparkle.advance(0.01f);
    EXPECT_TRUE(sparkle.dead);
}
