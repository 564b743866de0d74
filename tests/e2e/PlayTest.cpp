#include "Play.h"
#include "Display.h"
#include "GameProcess.h"

#include "board/Board.h"

#include <gtest/gtest.h>

#include <iostream>
#include <optional>

using namespace std::chrono_literals;

namespace {

constexpr unsigned kLeft = 1;
constexpr unsigned kMiddle = 2;
constexpr unsigned kRight = 3;
// Well inside the game-over screen's first second, leaving room for the frame that turned it.
constexpr auto kSurelyInFirstSecond = 700ms;

class PlayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        display.moveRoot(1270, 1010);
        window = display.waitForWindow("Hexaglint", 20s);
        ASSERT_NE(window, 0u) << game.standardError();
    }

    std::array<int, Board::kCellCount> cellColours(const Screenshot& shot) const {
        std::array<int, Board::kCellCount> colours{};
        for (int cell = 0; cell < Board::kCellCount; ++cell) {
            const WindowPoint p = cellPixel(cell);
            colours[cell] = gemColourOf(shot.at(p.x, p.y));
        }
        return colours;
    }

    void pressAt(int x, int y, unsigned button = kLeft) {
        display.movePointer(window, x, y);
        display.click(button);
        EXPECT_TRUE(display.waitForFrames(window));
    }

    XDisplay display;
    GameProcess game{GameProcess::defaults()};
    Window window = 0;
};

} // namespace

TEST_F(PlayTest, ClickingSelectsAndClickingANeighbourSwapsTheColours) {
    Screenshot play;
    ASSERT_NO_FATAL_FAILURE(enterPlay(display, window, &play));
    const auto before = cellColours(play);

    // A gap between two squares and a spot off the board are no clicks on a gem.
    const Board::Point centre = Board::cellCentre(0);
    const WindowPoint gap = windowPointOf(centre.x + 3.3, centre.y);
    pressAt(gap.x, gap.y);
    pressAt(20, 700);
    EXPECT_EQ(game.standardOutput(), "");

    ASSERT_EQ(cellPixel(0).x, 308);
    ASSERT_EQ(cellPixel(0).y, 44);
    pressAt(308, 44);
    EXPECT_TRUE(game.waitForOutput("Set selection to 0\n", 5s)) << game.standardOutput();

    const WindowPoint neighbour = cellPixel(1);
    pressAt(neighbour.x, neighbour.y);
    EXPECT_TRUE(game.waitForOutput("Swapping 0 and 1\n", 5s)) << game.standardOutput();
    EXPECT_EQ(game.standardOutput(), "Set selection to 0\nSwapping 0 and 1\n");

    display.movePointer(window, 1020, 764);
    Screenshot after;
    EXPECT_TRUE(display.waitForPicture(
        window,
        [&](const Screenshot& s) {
            const auto colours = cellColours(s);
            return colours[0] == before[1] && colours[1] == before[0];
        },
        5s, &after))
        << "cell 0 should show " << before[1] << " and cell 1 " << before[0];
}

TEST_F(PlayTest, LeftAloneEveryGemDiesAndOnlyALeftPressEndsTheGame) {
    Screenshot last;
    ASSERT_NO_FATAL_FAILURE(enterPlay(display, window, &last));
    EXPECT_FALSE(showsFinalScore(last));
    const auto started = std::chrono::steady_clock::now();
    // Every loose gem loses its colour in about 33 seconds of play and dies; a slow machine plays
    // slower than the clock (a frame counts for at most 0.12 seconds), so allow it time. The last
    // look that did not find the final score bounds when the screen turned.
    auto lastMiss = std::chrono::steady_clock::now();
    const bool over = display.waitForPicture(
        window,
        [&](const Screenshot& s) {
            if (showsFinalScore(s)) {
                return true;
            }
            lastMiss = std::chrono::steady_clock::now();
            return false;
        },
        120s, &last);
    if (!over) {
        last.save(::testing::TempDir() + "hexaglint-no-game-over.ppm");
    }
    ASSERT_TRUE(over) << "picture saved in " << ::testing::TempDir();
    // A left press as the final score appears belongs to the play that just ended: the game
    // ignores left presses for its first second. The pointer has stayed off the board. Only a
    // press known to fall in that second (a loaded machine may look late) must be ignored.
    display.click(kLeft);
    const bool inFirstSecond = std::chrono::steady_clock::now() - lastMiss < kSurelyInFirstSecond;
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
            .count();
    EXPECT_GE(seconds, 30);
    // The score, 0, stands under the label with its baseline at board y = 25, a one-digit number
    // starting at x = -5.
    const WindowPoint number = windowPointOf(-5.0, 25.0);
    EXPECT_GT(darkPixels(last, number.x, number.y - 100, number.x + 100, number.y + 5), 250);
    // Every gem is grey and has died.
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        const WindowPoint p = cellPixel(cell);
        EXPECT_LT(saturation(last.at(p.x, p.y)), 30) << cell;
    }

    // The pointer is still at the corner; the game may have ended on the left press already.
    display.click(kRight);
    display.click(kMiddle);
    if (inFirstSecond) {
        EXPECT_TRUE(display.waitForFrames(window));
        EXPECT_TRUE(game.running()) << "a left press as the final score appeared ended the game";
    } else {
        std::cout << "[ note     ] the final score was seen too late to press in its first second"
                  << std::endl;
    }
    // Once the second is over, a left press ends the game: press until it does.
    std::optional<int> status;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!status && std::chrono::steady_clock::now() < deadline) {
        display.click(kLeft);
        status = game.waitExit(250ms);
    }
    ASSERT_TRUE(status.has_value()) << game.standardError() << game.backtrace();
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(game.standardOutput(), "");
}
