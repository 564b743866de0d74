// A game that cannot be seen does no work: minimised by the window manager (unmapped, or kept
// mapped as a Wayland desktop does it) or wholly covered by another window, it draws nothing and
// leaves the processor all but alone, and shown again it draws at once and takes the player's
// clicks as before.

#include "Desktop.h"
#include "Display.h"
#include "GameProcess.h"
#include "Play.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

using namespace std::chrono_literals;

namespace {

// The sanitizer build's game is slow to start and to draw; wait on it generously.
constexpr auto kWindowTimeout = 30s;
constexpr auto kChangeTimeout = 15s;
constexpr auto kOutputTimeout = 10s;
// An unseen game may take at most this part of the processor time it takes shown: the music
// still plays, and everything else waits for the desktop.
constexpr double kUnseenShare = 0.1;

std::string hexId(Window window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

class HiddenWindowTest : public ::testing::Test {
  protected:
    void startGame(WindowManager manager) {
        desktop_ = std::make_unique<Desktop>(manager);
        desktop_->display().moveRoot(1270, 1010);
        game_ = std::make_unique<GameProcess>(desktop_->gameOptions());
        window_ = waitForDrawnWindow(desktop_->display(), kWindowTimeout);
        ASSERT_NE(window_, 0u) << game_->standardError() << desktop_->logs();
        ASSERT_NO_FATAL_FAILURE(enterPlay(desktop_->display(), window_));
    }

    // The share of one processor the game takes over this span: a measurement, not a wait.
    double processorShare(std::chrono::milliseconds span) {
        const double before = game_->processorSeconds();
        const auto start = std::chrono::steady_clock::now();
        pause(span);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        return (game_->processorSeconds() - before) / elapsed.count();
    }

    // Once the game has taken in that it cannot be seen, it stays all but idle and draws nothing:
    // a window still mapped keeps the play screen as it was, no gem turned or faded.
    void expectIdleAgainst(double shownShare) {
        const double limit = shownShare * kUnseenShare;
        ASSERT_TRUE(waitUntil([&] { return processorShare(500ms) < limit; }, kChangeTimeout))
            << "the unseen game keeps working";
        const Screenshot before = desktop_->display().capture(window_);
        EXPECT_LT(processorShare(3s), limit) << "shown it took " << shownShare;
        EXPECT_EQ(desktop_->display().capture(window_).rgb, before.rgb) << "the unseen game drew";
    }

    // Shown again, the game draws and a click on a cell lands.
    void expectPlayingAgain(int cell, const std::string& expectedLine) {
        XDisplay& display = desktop_->display();
        ASSERT_TRUE(
            waitUntil([&] { return display.countWindows("Hexaglint") == 1; }, kChangeTimeout));
        EXPECT_TRUE(display.waitForFrames(window_)) << "no frames once shown again";
        const WindowPoint p = cellPixel(cell);
        const std::string before = game_->standardOutput();
        display.movePointer(window_, p.x, p.y);
        display.click(1);
        EXPECT_TRUE(game_->waitForOutput(before + expectedLine + "\n", kOutputTimeout))
            << game_->standardOutput();
        display.movePointer(window_, 1020, 764);
    }

    // The game goes before its desktop.
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<GameProcess> game_;
    Window window_ = 0;
};

} // namespace

TEST_F(HiddenWindowTest, MinimisedOrCoveredItIdlesAndShownAgainItPlaysOn) {
    ASSERT_NO_FATAL_FAILURE(startGame(WindowManager::Openbox));
    XDisplay& display = desktop_->display();
    const double shown = processorShare(2s);

    // Minimised as a task bar asks for it; the window manager unmaps the window.
    display.minimise(window_);
    ASSERT_TRUE(waitUntil([&] { return display.countWindows("Hexaglint") == 0; }, kChangeTimeout));
    ASSERT_NO_FATAL_FAILURE(expectIdleAgainst(shown));
    ASSERT_TRUE(desktop_->run("wmctrl", {"-i", "-a", hexId(window_)}));
    ASSERT_NO_FATAL_FAILURE(expectPlayingAgain(0, "Set selection to 0"));

    // Wholly covered by a window above it, which then goes.
    const Window cover = display.coverScreen();
    ASSERT_NO_FATAL_FAILURE(expectIdleAgainst(shown));
    display.destroy(cover);
    ASSERT_NO_FATAL_FAILURE(expectPlayingAgain(1, "Swapping 0 and 1"));

    // Destroyed while minimised, once the game sleeps, the window still takes the game with it.
    display.minimise(window_);
    ASSERT_TRUE(waitUntil([&] { return display.countWindows("Hexaglint") == 0; }, kChangeTimeout));
    ASSERT_NO_FATAL_FAILURE(expectIdleAgainst(shown));
    display.destroy(window_);
    EXPECT_EQ(game_->waitExit(kChangeTimeout), 0) << game_->standardError();
}

// GNOME's manager under Xwayland minimises a window without unmapping it; with no manager here,
// the test says so on the window as such a manager would.
TEST_F(HiddenWindowTest, MinimisedButKeptMappedItIdlesAndRestoredItPlaysOn) {
    ASSERT_NO_FATAL_FAILURE(startGame(WindowManager::None));
    const double shown = processorShare(2s);
    ASSERT_TRUE(desktop_->run("xprop", {"-id", hexId(window_), "-f", "_NET_WM_STATE", "32a", "-set",
                                        "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"}));
    ASSERT_NO_FATAL_FAILURE(expectIdleAgainst(shown));
    ASSERT_TRUE(desktop_->run("xprop", {"-id", hexId(window_), "-remove", "_NET_WM_STATE"}));
    expectPlayingAgain(0, "Set selection to 0");
}
