#include "board/Board.h"

#include "board/Gem.h"
#include "support/KeptBoard.h"

#include <gtest/gtest.h>

#include <ctime>
#include <set>
#include <vector>

TEST(BoardGeneration, NoTwoNeighboursShareAColourForManySeeds) {
    for (unsigned seed = 1; seed <= 25; ++seed) {
        const Board& board = keptBoard(seed);
        for (int cell = 0; cell < Board::kCellCount; ++cell) {
            for (int other : Board::neighbourCells(cell)) {
                EXPECT_NE(board.cells[cell]->colour(), board.cells[other]->colour())
                    << "seed " << seed << ", cells " << cell << " and " << other;
            }
        }
    }
}

TEST(BoardGeneration, EveryCellHoldsItsOwnLooseSpinningGem) {
    const Board& board = keptBoard(3);
    EXPECT_EQ(board.selected, -1);
    std::set<int> sides;
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        const Gem& gem = *board.cells[cell];
        EXPECT_EQ(gem.index, cell);
        EXPECT_EQ(gem.board, &board);
        EXPECT_GE(gem.sides, 6);
        EXPECT_LE(gem.sides, 10);
        sides.insert(gem.sides);
        EXPECT_GE(gem.colour(), 0);
        EXPECT_LT(gem.colour(), 6);
        EXPECT_FLOAT_EQ(gem.spin(), 5.0f);
        EXPECT_TRUE(gem.spinFree && gem.fading && !gem.dead);
        for (int other = 0; other < cell; ++other) {
            ASSERT_NE(board.cells[other], board.cells[cell]);
        }
    }
    EXPECT_EQ(sides.size(), 5u) << "every shape shows";
}

TEST(BoardGeneration, SameSeedGivesTheSameBoard) {
    const Board& first = keptBoard(99);
    const Board& second = keptBoard(99);
    const Board& other = keptBoard(100);
    int differences = 0;
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        EXPECT_EQ(first.cells[cell]->colour(), second.cells[cell]->colour());
        EXPECT_EQ(first.cells[cell]->sides, second.cells[cell]->sides);
        differences += first.cells[cell]->colour() != other.cells[cell]->colour();
    }
    EXPECT_GT(differences, 0);
}

TEST(BoardGeneration, TwoBoardsBuiltInTheSameSecondAreIdentical) {
    static std::vector<Board*>* const kept = new std::vector<Board*>();
    // Retry when the pair straddles a change of second.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::time_t before = std::time(nullptr);
        kept->push_back(new Board());
        kept->push_back(new Board());
        if (std::time(nullptr) != before) {
            continue;
        }
        const Board& first = *(*kept)[kept->size() - 2];
        const Board& second = *kept->back();
        const Board& seeded = keptBoard(static_cast<unsigned>(before));
        for (int cell = 0; cell < Board::kCellCount; ++cell) {
            EXPECT_EQ(first.cells[cell]->colour(), second.cells[cell]->colour());
            EXPECT_EQ(first.cells[cell]->sides, second.cells[cell]->sides);
            EXPECT_EQ(first.cells[cell]->colour(), seeded.cells[cell]->colour());
        }
        return;
    }
    FAIL() << "could not build two boards within one second";
}
