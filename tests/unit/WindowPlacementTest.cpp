#include "desktop/WindowPlacement.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

} // namespace

TEST(WindowPlacement, KeepsItsPlaceWhereItFitsMovesTheLeastWhereNotAndShrinksOnlyWhenItMust) {
    const FrameExtents titleBar{1, 1, 20, 1};
    // A 1280 x 1024 screen has room at (100, 100), frame and all.
    EXPECT_EQ(placeWindow({0, 0, 1280, 1024}, titleBar, kWidth, kHeight, 100, 100),
              (PixelRect{100, 100, kWidth, kHeight}));
    // Twice the size on a 2560 x 1600 screen: it fits, moved up just enough.
    EXPECT_EQ(placeWindow({0, 0, 2560, 1600}, {}, 2 * kWidth, 2 * kHeight, 100, 100),
              (PixelRect{100, 64, 2 * kWidth, 2 * kHeight}));
    // A second monitor to the right, under a top panel: the room's own corner bounds the move.
    EXPECT_EQ(placeWindow({1920, 32, 1280, 992}, titleBar, kWidth, kHeight, 100, 100),
              (PixelRect{1920, 100, kWidth, kHeight}));
    // A 1366 x 768 laptop under a 32 px top panel and a 37 px title bar: the largest 4:3 window
    // that fits below both, at the panel's edge.
    const PixelRect laptop =
        placeWindow({0, 32, 1366, 736}, {0, 0, 37, 0}, kWidth, kHeight, 100, 100);
    EXPECT_EQ(laptop, (PixelRect{100, 32, 932, 699}));
    // A room narrower than it is tall sets the width instead.
    EXPECT_EQ(placeWindow({0, 0, 800, 1280}, {}, kWidth, kHeight, 100, 100),
              (PixelRect{0, 100, 800, 600}));
}

TEST(WindowPlacement, TheDesktopScaleComesFromGdkScaleOrTheXftDpiResource) {
    EXPECT_DOUBLE_EQ(desktopScale(nullptr, nullptr), 1.0);
    EXPECT_DOUBLE_EQ(desktopScale("Xft.dpi:\t192\n", nullptr), 2.0);
    EXPECT_DOUBLE_EQ(desktopScale("Xcursor.size:\t48\nXft.dpi:\t120\nXft.hinting:\t1\n", ""), 1.25);
    // A hair above 96 dpi keeps the picture pixel for pixel; so does nonsense.
    EXPECT_DOUBLE_EQ(desktopScale("Xft.dpi:\t110\n", nullptr), 1.0);
    EXPECT_DOUBLE_EQ(desktopScale("Xft.dpi:\tlarge\n", nullptr), 1.0);
    EXPECT_DOUBLE_EQ(desktopScale("Xft.dpi:\t96000\n", nullptr), 1.0);
    // Another resource whose name ends the same is not the one.
    EXPECT_DOUBLE_EQ(desktopScale("MyApp.Xft.dpi:\t192\n", nullptr), 1.0);
    EXPECT_DOUBLE_EQ(desktopScale("*dpi:\t144\n", nullptr), 1.5);
    EXPECT_DOUBLE_EQ(desktopScale("Xft.dpi:\t96\n", "2"), 2.0);
    EXPECT_EQ(scaledLength(kWidth, 1.25), 1280);
}

TEST(WindowPlacement, TheWholeFrameFitsAndNothingTheDesktopReportsIsTakenUnchecked) {
    // A frame with borders all round, the bottom one too, under a panel 32 px tall.
    EXPECT_EQ(placeWindow({0, 32, 1366, 736}, {4, 4, 41, 4}, kWidth, kHeight, 100, 100),
              (PixelRect{100, 32, 921, 691}));
    const PixelRect screen{0, 0, 1366, 768};
    constexpr long kHuge = 0x7fffffff;
    constexpr long kAllOnes = -1; // 0xffffffff, as Xlib hands it over
    EXPECT_FALSE(frameFromExtents({kHuge, kHuge, kHuge, kHuge}, screen));
    EXPECT_FALSE(frameFromExtents({kAllOnes, 0, 0, 0}, screen));
    EXPECT_FALSE(frameFromExtents({0, 0, 41}, screen));
    EXPECT_EQ(frameFromExtents({1, 2, 41, 3}, screen)->bottom, 3);
    EXPECT_EQ(frameAround({10, 51, 100, 100}, {8, 10, 104, 143}, screen)->top, 41);
    EXPECT_FALSE(frameAround({10, 51, 100, 100}, {12, 10, 104, 143}, screen));
    const std::vector<long> areas = {0, 0, 1366, 768, 0, 32, 1366, 736};
    EXPECT_EQ(workAreaOf(areas, {1}, screen), (PixelRect{0, 32, 1366, 736}));
    EXPECT_EQ(workAreaOf(areas, {}, screen), screen);
    EXPECT_FALSE(workAreaOf(areas, {kAllOnes}, screen));
    EXPECT_FALSE(workAreaOf(areas, {2}, screen));
    EXPECT_FALSE(workAreaOf({0, 0, kHuge, kHuge}, {}, screen));
    EXPECT_FALSE(workAreaOf({kHuge, kHuge, 1, 1}, {}, screen));
    // Whatever comes in, the arithmetic stays in range (the sanitizer build checks every step).
    constexpr int kMost = std::numeric_limits<int>::max();
    const PixelRect absurd = placeWindow({kMost, kMost, kMost, kMost}, {kMost, kMost, kMost, kMost},
                                         kWidth, kHeight, kMost, 0);
    EXPECT_EQ(absurd.width, kSmallestWindowWidth);
    EXPECT_EQ(intersection({kMost, 0, kMost, 1}, {0, 0, kMost, 1}).width, 0);
}
