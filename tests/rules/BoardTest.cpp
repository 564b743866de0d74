#include "board/Board.h"

#include "board/Gem.h"
#include "board/ScreenState.h"
#include "support/KeptBoard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace {

std::vector<int> neighbourIndices(const Board& board, int cell) {
    std::vector<int> indices;
    for (const Gem* gem : board.neighbours(cell)) {
        indices.push_back(gem->index);
    }
    return indices;
}

} // namespace

TEST(BoardNeighbours, ListsTheKnownCellsInOrder) {
    const Board& board = keptBoard();
    const std::map<int, std::vector<int>> expected = {
        {0, {1, 7, 8}},
        {3, {2, 4, 10, 11}},
        {7, {8, 0, 15, 16}},
        {8, {7, 0, 9, 1, 16, 17}},
        {14, {13, 6, 22, 23}},
        {57, {58, 45, 70}},
        {58, {57, 45, 70, 59, 46, 71}},
        {63, {62, 50, 75, 64, 51, 76}},
        {69, {68, 56, 81}},
        {70, {71, 82, 57, 58}},
        {71, {70, 82, 72, 83, 58, 59}},
        {81, {80, 92, 68, 69}},
        {120, {121, 112, 113}},
        {126, {125, 118, 119}},
    };
    for (const auto& [cell, cells] : expected) {
        EXPECT_EQ(neighbourIndices(board, cell), cells) << "cell " << cell;
        const Board::NeighbourCells& table = Board::neighbourCells(cell);
        EXPECT_EQ(std::vector<int>(table.begin(), table.end()), cells) << "cell " << cell;
    }
}

TEST(BoardNeighbours, AreSymmetricDistinctAndCountedSixFourOrThree) {
    int six = 0;
    int four = 0;
    int three = 0;
    std::vector<int> corners;
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        const Board::NeighbourCells& list = Board::neighbourCells(cell);
        std::vector<int> cells(list.begin(), list.end());
        for (int other : cells) {
            ASSERT_GE(other, 0);
            ASSERT_LT(other, Board::kCellCount);
            EXPECT_NE(other, cell);
            const Board::NeighbourCells& back = Board::neighbourCells(other);
            EXPECT_NE(std::find(back.begin(), back.end(), cell), back.end())
                << cell << " lists " << other << " but not the other way round";
        }
        std::sort(cells.begin(), cells.end());
        EXPECT_EQ(std::adjacent_find(cells.begin(), cells.end()), cells.end()) << cell;
        if (list.count == 6) {
            ++six;
        } else if (list.count == 4) {
            ++four;
        } else if (list.count == 3) {
            ++three;
            corners.push_back(cell);
        } else {
            ADD_FAILURE() << "cell " << cell << " has " << list.count << " neighbours";
        }
    }
    EXPECT_EQ(six, 91);
    EXPECT_EQ(four, 30);
    EXPECT_EQ(three, 6);
    EXPECT_EQ(corners, (std::vector<int>{0, 6, 57, 69, 120, 126}));
}

TEST(BoardNeighbours, AreExactlyTheCellsWhoseCentresLieOneStepAway) {
    // Neighbouring centres are about 6.4 to 6.7 apart; the next nearest are over 11 apart.
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        const Board::Point centre = Board::cellCentre(cell);
        const Board::NeighbourCells& list = Board::neighbourCells(cell);
        for (int other = 0; other < Board::kCellCount; ++other) {
            const Board::Point there = Board::cellCentre(other);
            const float dx = there.x - centre.x;
            const float dy = there.y - centre.y;
            const bool near = other != cell && std::sqrt(dx * dx + dy * dy) < 7.5f;
            const bool listed = std::find(list.begin(), list.end(), other) != list.end();
            EXPECT_EQ(listed, near) << cell << " and " << other;
        }
    }
}

TEST(BoardNeighbours, OutsideTheBoardThereAreNone) {
    const Board& board = keptBoard();
    EXPECT_TRUE(board.neighbours(-1).empty());
    EXPECT_TRUE(board.neighbours(127).empty());
    EXPECT_EQ(Board::neighbourCells(-1).count, 0);
    EXPECT_EQ(Board::neighbourCells(127).count, 0);
}

TEST(BoardPicking, EveryCentrePicksItsOwnCell) {
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        const Board::Point centre = Board::cellCentre(cell);
        EXPECT_EQ(Board::pickCell(centre.x, centre.y), cell);
        // Just inside the corners of the square too.
        EXPECT_EQ(Board::pickCell(centre.x - 2.45f, centre.y + 2.45f), cell);
        EXPECT_EQ(Board::pickCell(centre.x + 2.45f, centre.y - 2.45f), cell);
    }
}

TEST(BoardPicking, GapsBetweenSquaresAndPointsPastARowMiss) {
    EXPECT_EQ(Board::pickCell(-19.9219f, 70.7031f), 0);
    EXPECT_EQ(Board::pickCell(-19.9219f + 2.6f, 70.7031f), -1);
    const Board::Point lastOfTopRow = Board::cellCentre(6);
    EXPECT_EQ(Board::pickCell(lastOfTopRow.x + 6.659f, lastOfTopRow.y), -1);
    EXPECT_EQ(Board::pickCell(-19.9219f - 2.6f, 70.7031f), -1);
    // The middle row reaches further out than the top row.
    EXPECT_EQ(Board::pickCell(-40.0f, 37.0431f), 57);
    EXPECT_EQ(Board::pickCell(-40.0f, 70.7031f), -1);
}

TEST(BoardPicking, TheStripBelowASquareBelongsToItsRow) {
    // x = -18 lies in cell 0's square and, one row down, in cell 8's.
    EXPECT_EQ(Board::pickCell(-18.0f, 70.7031f - 2.5f - 0.3f), 0);
    EXPECT_EQ(Board::pickCell(-18.0f, 70.7031f - 2.5f - 0.6f), 8);
    // Row 1 is shifted half a step, so cell 0's centre line falls in its gap between 7 and 8.
    EXPECT_EQ(Board::pickCell(-19.9219f, 70.7031f - 2.5f - 0.6f), -1);
}

TEST(BoardPicking, AboveAndBelowTheBoardMiss) {
    EXPECT_EQ(Board::pickCell(-19.9219f, 70.7031f + 2.6f), -1);
    EXPECT_EQ(Board::pickCell(-19.9219f, 70.7031f + 10.0f), -1);
    const float bottomOfLastBand = 70.7031f + 2.5f - 13 * 5.56f;
    EXPECT_EQ(Board::pickCell(-19.9219f, bottomOfLastBand + 0.05f), 120);
    EXPECT_EQ(Board::pickCell(-19.9219f, bottomOfLastBand - 0.05f), -1);
    EXPECT_EQ(Board::pickCell(0.0f, 0.0f), -1);
    EXPECT_EQ(Board::pickCell(-50.0f, 75.0f), -1);
}

TEST(BoardUpdate, UpdatesEveryGemOnce) {
    Board& board = keptBoard(9);
    board.update(0.1f);
    for (const Gem* gem : board.cells) {
        EXPECT_FLOAT_EQ(gem->angle, 5.0f);
        EXPECT_FLOAT_EQ(gem->spin(), 4.5f);
        EXPECT_FLOAT_EQ(gem->life, 0.997f);
    }
}

class BoardTally : public ::testing::Test {
  protected:
    void SetUp() override {
        screenState = Playing;
        score = -1;
    }

    Board& board = keptBoard(21);
};

TEST_F(BoardTally, CountsLockedGemsEvenDeadOnesAndDeadLooseGemsNowhere) {
    board.tally();
    EXPECT_EQ(score, 0) << "a fresh board";
    for (int cell : {3, 4, 10, 11}) {
        board.cells[cell]->lock();
    }
    board.cells[4]->dead = true;
    board.cells[50]->dead = true;
    board.tally();
    EXPECT_EQ(score, 4);
    EXPECT_EQ(screenState, Playing);
}

TEST_F(BoardTally, SixLooseGemsGoOnAndFiveEndTheGame) {
    for (int cell = 6; cell < Board::kCellCount; ++cell) {
        board.cells[cell]->lock();
    }
    board.tally();
    EXPECT_EQ(score, 121);
    EXPECT_EQ(screenState, Playing);

    board.cells[0]->dead = true;
    board.tally();
    EXPECT_EQ(score, 121);
    EXPECT_EQ(screenState, GameOver);

    // Every later tally finds the game over again.
    screenState = Playing;
    board.tally();
    EXPECT_EQ(screenState, GameOver);
}

TEST_F(BoardTally, BoardThatDiedWithoutALockEndsWithNothing) {
    for (int i = 0; i < 400; ++i) {
        board.update(0.1f);
    }
    for (const Gem* gem : board.cells) {
        ASSERT_TRUE(gem->dead);
    }
    board.tally();
    EXPECT_EQ(score, 0);
    EXPECT_EQ(screenState, GameOver);
}
