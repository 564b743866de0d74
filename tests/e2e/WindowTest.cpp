#include "Display.h"
#include "GameProcess.h"
#include "Play.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <set>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Every end-to-end test starts with the pointer away from the board.
struct WindowTest : ::testing::Test {
    void SetUp() override { display.moveRoot(1270, 1010); }

    XDisplay display;
};

} // namespace

TEST_F(WindowTest, OpensOneFixedWindowThatSnapsBackAfterAResize) {
    GameProcess game(GameProcess::defaults());
    const Window window = display.waitForWindow("Hexaglint", 20s);
    ASSERT_NE(window, 0u) << game.standardError();
    EXPECT_EQ(display.countWindows("Hexaglint"), 1);

    WindowGeometry g = display.geometry(window);
    EXPECT_EQ(g.width, 1024);
    EXPECT_EQ(g.height, 768);
    EXPECT_EQ(g.x, 100);
    EXPECT_EQ(g.y, 100);

    // Its own icon, at every size a desktop asks for: width, height, then ARGB pixels, for each.
    // Each picture is mostly visible and bright, as the seven gems are.
    const std::vector<unsigned long> icon = display.cardinals(window, "_NET_WM_ICON");
    std::set<unsigned long> sizes;
    for (std::size_t at = 0; at + 2 <= icon.size();) {
        const unsigned long width = icon[at];
        const std::size_t area = width * icon[at + 1];
        ASSERT_LE(at + 2 + area, icon.size()) << "a " << width << "-pixel icon is cut short";
        const auto seen = std::count_if(
            icon.begin() + at + 2, icon.begin() + at + 2 + area, [](unsigned long argb) {
                return (argb >> 24 & 0xff) >= 0x80 &&
                       std::max({argb >> 16 & 0xff, argb >> 8 & 0xff, argb & 0xff}) >= 0x80;
            });
        EXPECT_GT(seen, static_cast<long>(area / 5)) << "the " << width << "-pixel icon";
        sizes.insert(width == icon[at + 1] ? width : 0);
        at += 2 + area;
    }
    for (const unsigned long size : {16, 32, 48, 64, 128}) {
        EXPECT_EQ(sizes.count(size), 1u) << "no " << size << "-pixel icon";
    }

    display.resize(window, 800, 600);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    do {
        pause(50ms);
        g = display.geometry(window);
    } while ((g.width != 1024 || g.height != 768) && std::chrono::steady_clock::now() < deadline);
    EXPECT_EQ(g.width, 1024);
    EXPECT_EQ(g.height, 768);
    EXPECT_TRUE(game.running());
}

TEST_F(WindowTest, KeysChangeNothingAndClosingTheWindowEndsTheProcess) {
    GameProcess game(GameProcess::defaults());
    const Window window = display.waitForWindow("Hexaglint", 20s);
    ASSERT_NE(window, 0u) << game.standardError();
    display.movePointer(window, 1000, 750);
    ASSERT_TRUE(display.waitForFrames(window));
    const Screenshot before = display.capture(window);

    for (const char* key : {"space", "Return", "Escape", "a", "F1", "Left"}) {
        display.tapKey(key);
    }
    ASSERT_TRUE(display.waitForFrames(window));
    const Screenshot after = display.capture(window);
    EXPECT_EQ(before.rgb, after.rgb);
    EXPECT_TRUE(game.running());

    display.close(window);
    const auto status = game.waitExit(10s);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(game.standardOutput(), "");
}

TEST_F(WindowTest, PressesWalkFromTitleThroughInstructionsToPlay) {
    GameProcess game(GameProcess::defaults());
    const Window window = display.waitForWindow("Hexaglint", 20s);
    ASSERT_NE(window, 0u) << game.standardError();
    ASSERT_NO_FATAL_FAILURE(enterPlay(display, window));
    EXPECT_EQ(game.standardOutput(), "");
    EXPECT_TRUE(game.running());
}

TEST_F(WindowTest, InterruptAndTerminateStopTheGameWithItsSoundOpen) {
    // SDL's dummy driver opens a real output, as a sound card would.
    for (const int signal : {SIGINT, SIGTERM}) {
        GameProcess game(GameProcess::defaults());
        const Window window = display.waitForWindow("Hexaglint", 20s);
        ASSERT_NE(window, 0u) << game.standardError();
        ASSERT_EQ(::kill(game.pid(), signal), 0);
        const auto status = game.waitExit(10s);
        ASSERT_TRUE(status.has_value()) << "signal " << signal << " did not stop the game";
        EXPECT_EQ(*status, 128 + signal);
    }
}
