#include "app/Mouse.h"

#include "app/Game.h"
#include "board/Board.h"
#include "board/Gem.h"
#include "board/ScreenState.h"
#include "support/KeptBoard.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class MouseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        theBoard = &board;
        screenState = Playing;
        for (Gem* gem : board.cells) {
            gem->charging = false;
            gem->pulsing = false;
        }
    }
    void TearDown() override {
        theBoard = nullptr;
        screenState = Title;
    }

    static Board::Point centre(int cell) { return Board::cellCentre(cell); }

    // Presses the left button at a cell and returns what was printed.
    static std::string leftPressAt(int cell) {
        const Board::Point p = centre(cell);
        testing::internal::CaptureStdout();
        clickAt(p.x, p.y, true, false, true);
        return testing::internal::GetCapturedStdout();
    }

    Board& board = keptBoard(3);
    Mouse* mouse = Mouse::instance();
};

} // namespace

TEST_F(MouseTest, TrackMapsWindowPixelsOntoTheBoardPlane) {
    mouse->track(308, 44);
    EXPECT_FLOAT_EQ(mouse->worldX(), -19.921875f);
    EXPECT_FLOAT_EQ(mouse->worldY(), 70.703125f);
    EXPECT_EQ(Board::pickCell(mouse->worldX(), mouse->worldY()), 0);

    mouse->track(0, 0);
    EXPECT_FLOAT_EQ(mouse->worldX(), -50.0f);
    EXPECT_FLOAT_EQ(mouse->worldY(), 75.0f);
    mouse->track(1023, 767);
    EXPECT_FLOAT_EQ(mouse->worldX(), 49.90234375f);
    EXPECT_FLOAT_EQ(mouse->worldY(), 0.09765625f);
    mouse->track(512, 384);
    EXPECT_FLOAT_EQ(mouse->worldX(), 0.0f);
    EXPECT_FLOAT_EQ(mouse->worldY(), 37.5f);
    // A drag that leaves the window is held at its edge.
    mouse->track(-200, 900);
    EXPECT_FLOAT_EQ(mouse->worldX(), -50.0f);
    // tan(45 degrees) is a hair below 1 in doubles, so the bottom edge is only nearly 0.
    EXPECT_NEAR(mouse->worldY(), 0.0f, 1e-6f);
}

TEST_F(MouseTest, PressesOnStillScreensOnlyMoveTheFlowOn) {
    screenState = Title;
    mouse->onMove(308, 44); // over cell 0
    testing::internal::CaptureStdout();
    mouse->onButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 308, 44);
    EXPECT_EQ(screenState, Instructions);
    mouse->onButton(GLUT_RIGHT_BUTTON, GLUT_UP, 308, 44);
    EXPECT_EQ(screenState, Instructions);
    mouse->onButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 308, 44);
    EXPECT_EQ(screenState, Playing);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(board.selected, -1);
    mouse->onButton(GLUT_LEFT_BUTTON, GLUT_UP, 308, 44);
}

TEST_F(MouseTest, WheelStepsAreIgnoredAltogether) {
    screenState = Title;
    for (int button : {3, 4, 7, -1}) {
        mouse->onButton(button, GLUT_DOWN, 10, 10);
        mouse->onButton(button, GLUT_UP, 10, 10);
    }
    EXPECT_EQ(screenState, Title);
    for (int i = 0; i < Mouse::kButtonCount; ++i) {
        EXPECT_EQ(mouse->button(i), GLUT_UP);
    }
}

TEST_F(MouseTest, HoverSpinsUpLivingGemsUnlessTheLeftButtonIsHeld) {
    Gem& gem = *board.cells[0];
    gem.setSpin(1.0f);
    const Board::Point p = centre(0);
    hoverAt(p.x, p.y, false, false);
    EXPECT_FLOAT_EQ(gem.spin(), static_cast<float>(1.0f + 0.03));
    hoverAt(p.x, p.y, false, true);
    EXPECT_FLOAT_EQ(gem.spin(), static_cast<float>(static_cast<float>(1.0f + 0.03) + 0.03));
    const float before = gem.spin();
    hoverAt(p.x, p.y, true, false);
    EXPECT_FLOAT_EQ(gem.spin(), before);

    // Locked gems stay at their slow spin; dead ones are left alone; gaps and the outside miss.
    Gem& locked = *board.cells[1];
    locked.lock();
    hoverAt(centre(1).x, centre(1).y, false, false);
    EXPECT_FLOAT_EQ(locked.spin(), Gem::kLockedSpin);
    Gem& dead = *board.cells[2];
    dead.setSpin(2.0f);
    dead.dead = true;
    hoverAt(centre(2).x, centre(2).y, false, false);
    EXPECT_FLOAT_EQ(dead.spin(), 2.0f);
    hoverAt(0.0f, 0.0f, false, false);
    hoverAt(p.x + 3.3f, p.y, false, false);
    EXPECT_FLOAT_EQ(gem.spin(), before);
}

TEST_F(MouseTest, FirstPressSelectsAndSecondSwaps) {
    EXPECT_EQ(leftPressAt(0), "Set selection to 0\n");
    EXPECT_EQ(board.selected, 0);
    EXPECT_TRUE(board.cells[0]->charging);
    EXPECT_TRUE(board.cells[0]->pulsing);

    const int colourOf0 = board.cells[0]->colour();
    const int colourOf1 = board.cells[1]->colour();
    EXPECT_EQ(leftPressAt(1), "Swapping 0 and 1\n");
    EXPECT_EQ(board.selected, -1);
    EXPECT_EQ(board.cells[1]->colour(), colourOf0);
    EXPECT_EQ(board.cells[0]->colour(), colourOf1);
    // The clicked cell now holds the selected gem, whose ramp is still running.
    EXPECT_TRUE(board.cells[1]->charging);
}

TEST_F(MouseTest, SameCellAndFarCellsPrintTheSwapButMoveNothing) {
    EXPECT_EQ(leftPressAt(5), "Set selection to 5\n");
    EXPECT_EQ(leftPressAt(5), "Swapping 5 and 5\n");
    EXPECT_EQ(board.selected, -1);

    const int colourOf20 = board.cells[20]->colour();
    EXPECT_EQ(leftPressAt(5), "Set selection to 5\n");
    EXPECT_EQ(leftPressAt(100), "Swapping 5 and 100\n");
    EXPECT_EQ(board.cells[20]->colour(), colourOf20);
    EXPECT_EQ(board.selected, -1);
}

TEST_F(MouseTest, MissesDeadGemsAndOtherButtonsChangeNothing) {
    EXPECT_EQ(leftPressAt(40), "Set selection to 40\n");
    board.cells[41]->dead = true;
    EXPECT_EQ(leftPressAt(41), "");
    testing::internal::CaptureStdout();
    clickAt(0.0f, 0.0f, true, false, true); // no cell there
    const Board::Point p = centre(42);
    clickAt(p.x, p.y, false, true, true);  // right press
    clickAt(p.x, p.y, false, false, true); // middle press
    clickAt(p.x, p.y, true, false, false); // left release
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(board.selected, 40);
    EXPECT_FALSE(board.cells[42]->charging);
}

TEST_F(MouseTest, ALeftPressEndsTheProgramOnlyOnceTheFinalScoreHasBeenUpForASecond) {
    screenState = GameOver;
    const int now = glutGet(GLUT_ELAPSED_TIME);
    // Each press in a fresh run of the test program, so that a press that ended it early could
    // not pass for a test that ran to its end: a forked copy of a process whose GL driver has
    // started its threads can hang on their locks as it exits.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    constexpr int kCarriedOn = 7;
    // The press that was meant for a gem as the last ones died does nothing.
    Game::instance()->markGameOver(now);
    EXPECT_EXIT(
        {
            clickAt(0.0f, 0.0f, true, false, true);
            std::exit(kCarriedOn);
        },
        testing::ExitedWithCode(kCarriedOn), "");
    EXPECT_FALSE(Game::instance()->acceptsQuit(now + Game::kQuitDelayMs - 1));

    Game::instance()->markGameOver(now - Game::kQuitDelayMs);
    clickAt(0.0f, 0.0f, false, true, true);
    clickAt(0.0f, 0.0f, false, false, true);
    EXPECT_EXIT(clickAt(0.0f, 0.0f, true, false, true), testing::ExitedWithCode(0), "");
}
