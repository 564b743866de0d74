// Swapping two gems and locking the same-coloured groups around them.

#include "board/Board.h"

#include "board/Gem.h"
#include "support/KeptBoard.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Everything a gem holds, to tell whether anything changed.
struct GemState {
    int colour;
    float life;
    int sides;
    float angle;
    bool charging;
    bool pulsing;
    float chargeTime;
    float spin;
    float lastSpin;
    bool spinFree;
    bool fading;
    bool dead;
    std::size_t sparkles;
    int index;

    bool operator==(const GemState& o) const {
        return colour == o.colour && life == o.life && sides == o.sides && angle == o.angle &&
               charging == o.charging && pulsing == o.pulsing && chargeTime == o.chargeTime &&
               spin == o.spin && lastSpin == o.lastSpin && spinFree == o.spinFree &&
               fading == o.fading && dead == o.dead && sparkles == o.sparkles && index == o.index;
    }
};

std::vector<GemState> snapshot(const Board& board) {
    std::vector<GemState> states;
    for (const Gem* g : board.cells) {
        states.push_back({g->colour(), g->life, g->sides, g->angle, g->charging, g->pulsing,
                          g->chargeTime, g->spin(), g->lastSpin, g->spinFree, g->fading, g->dead,
                          g->sparkles.size(), g->index});
    }
    return states;
}

bool locked(const Gem& gem) {
    return !gem.spinFree && !gem.fading;
}

std::vector<int> lockedCells(const Board& board) {
    std::vector<int> cells;
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        if (locked(*board.cells[cell])) {
            cells.push_back(cell);
        }
    }
    return cells;
}

// Colours the board with 0, 1 and 2 only, no two neighbours alike, so that the tests' own
// colours 3, 4 and 5 match nothing but each other. With a the position along the row in half
// steps and b the row, neighbours differ by (±1, 0), (0, ±1) or ±(1, 1), and a − 2b mod 3 tells
// them all apart.
void paintBackground(Board& board) {
    for (int row = 0; row < Board::kRowCount; ++row) {
        const int m = Board::widening(row);
        for (int k = 0; k < Board::rowLength(row); ++k) {
            const int a = (2 * k - m + row) / 2;
            const int colour = ((a - 2 * row) % 3 + 3) % 3;
            board.cells[Board::rowStart(row) + k]->setColour(colour);
        }
    }
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        for (int other : Board::neighbourCells(cell)) {
            EXPECT_NE(board.cells[cell]->colour(), board.cells[other]->colour());
        }
    }
}

} // namespace

// Cells 63 (a) and 64 (b) sit side by side in the middle row. Around 64: 63, 51, 76, 65, 52, 77;
// 65 continues to 66 and 67.
class Swap : public ::testing::Test {
  protected:
    void SetUp() override { paintBackground(board); }

    Gem& gem(int cell) { return *board.cells[cell]; }

    // Selects a and clicks b, as the click handler does.
    void swap(int a, int b) {
        board.selected = a;
        board.swap(a, b);
    }

    Board& board = keptBoard(17);
};

TEST(SwapRefused, ClearsTheSelectionAndChangesNothingElse) {
    struct Case {
        std::string name;
        int a;
        int b;
        std::function<void(Board&)> prepare;
    };
    const auto kill = [](Gem& gem) {
        gem.life = 0.0f;
        gem.dead = true;
    };
    const std::vector<Case> cases = {
        {"same cell", 63, 63, [](Board&) {}},
        {"not neighbours", 63, 65, [](Board&) {}},
        {"selected gem locked", 63, 64, [](Board& b) { b.cells[63]->lock(); }},
        {"clicked gem locked", 63, 64, [](Board& b) { b.cells[64]->lock(); }},
        {"selected gem died while waiting", 63, 64, [&](Board& b) { kill(*b.cells[63]); }},
        {"clicked gem dead", 63, 64, [&](Board& b) { kill(*b.cells[64]); }},
        {"no such cell", 126, 127, [](Board&) {}},
        {"no selection", -1, 63, [](Board&) {}},
    };
    for (const Case& c : cases) {
        Board& board = keptBoard(17);
        paintBackground(board);
        // Had any of these swaps gone ahead, 64 would have locked with 65.
        board.cells[63]->setColour(5);
        board.cells[65]->setColour(5);
        board.cells[64]->activate();
        c.prepare(board);
        const std::vector<GemState> before = snapshot(board);
        board.selected = c.a;
        board.swap(c.a, c.b);
        EXPECT_EQ(board.selected, -1) << c.name;
        EXPECT_TRUE(snapshot(board) == before) << c.name;
    }
}

TEST_F(Swap, TradesTheEightVisibleFieldsAndLeavesTheCellsOwn) {
    Gem& a = gem(63);
    Gem& b = gem(64);
    a.setColour(3);
    a.setSpin(2.0f);
    a.lastSpin = 1.25f;
    a.life = 0.9f;
    a.sides = 7;
    a.angle = 10.0f;
    a.activate();
    a.chargeTime = 0.3f;
    a.sparkles.push_back(Sparkle{});

    b.setColour(4);
    b.setSpin(3.0f);
    b.lastSpin = 2.5f;
    b.life = 0.8f;
    b.sides = 9;
    b.angle = 20.0f;

    swap(63, 64);
    EXPECT_EQ(board.selected, -1);

    EXPECT_EQ(a.colour(), 4);
    EXPECT_FLOAT_EQ(a.life, 0.8f);
    EXPECT_EQ(a.sides, 9);
    EXPECT_FLOAT_EQ(a.angle, 20.0f);
    EXPECT_FALSE(a.charging);
    EXPECT_FALSE(a.pulsing);
    EXPECT_FLOAT_EQ(a.chargeTime, 0.0f);
    EXPECT_FLOAT_EQ(a.spin(), 3.0f);

    // The spin ramp goes with the colour into the other cell.
    EXPECT_EQ(b.colour(), 3);
    EXPECT_FLOAT_EQ(b.life, 0.9f);
    EXPECT_EQ(b.sides, 7);
    EXPECT_FLOAT_EQ(b.angle, 10.0f);
    EXPECT_TRUE(b.charging);
    EXPECT_TRUE(b.pulsing);
    EXPECT_FLOAT_EQ(b.chargeTime, 0.3f);
    EXPECT_FLOAT_EQ(b.spin(), 2.0f);

    // What belongs to the cell stays.
    EXPECT_FLOAT_EQ(a.lastSpin, 1.25f);
    EXPECT_FLOAT_EQ(b.lastSpin, 2.5f);
    EXPECT_EQ(a.sparkles.size(), 1u);
    EXPECT_TRUE(b.sparkles.empty());
    EXPECT_EQ(a.index, 63);
    EXPECT_EQ(b.index, 64);
    EXPECT_EQ(board.cells[63], &a);
    EXPECT_TRUE(a.fading && a.spinFree && !a.dead);
    EXPECT_TRUE(b.fading && b.spinFree && !b.dead);

    // Neither colour came next to its like.
    EXPECT_TRUE(lockedCells(board).empty());
}

TEST_F(Swap, AMatchLocksTheWholeGroupIncludingTheMovedGem) {
    gem(63).setColour(5);
    gem(64).setColour(4);
    for (int cell : {65, 66, 67}) {
        gem(cell).setColour(5);
        gem(cell).life = 0.6f;
    }
    gem(66).activate();
    gem(66).chargeTime = 0.4f;
    gem(64).setSpin(3.0f);

    swap(63, 64);
    EXPECT_EQ(lockedCells(board), (std::vector<int>{64, 65, 66, 67}));
    for (int cell : {64, 65, 66, 67}) {
        EXPECT_FLOAT_EQ(gem(cell).life, 1.0f) << cell;
        EXPECT_FLOAT_EQ(gem(cell).spin(), 0.5f) << cell;
    }
    // The lock leaves the ramp alone.
    EXPECT_TRUE(gem(66).charging);
    EXPECT_TRUE(gem(66).pulsing);
    EXPECT_FLOAT_EQ(gem(66).chargeTime, 0.4f);

    score = 0;
    board.tally();
    EXPECT_EQ(score, 4);
}

TEST_F(Swap, BothSwappedCellsAreResolved) {
    gem(63).setColour(5);
    gem(64).setColour(4);
    gem(62).setColour(4);
    gem(65).setColour(5);
    swap(63, 64);
    EXPECT_EQ(lockedCells(board), (std::vector<int>{62, 63, 64, 65}));
}

TEST_F(Swap, LockedGemsBridgeTheSearch) {
    gem(63).setColour(5);
    gem(64).setColour(4);
    gem(65).setColour(5);
    gem(65).lock();
    gem(66).setColour(5);
    swap(63, 64);
    EXPECT_EQ(lockedCells(board), (std::vector<int>{64, 65, 66}));
}

TEST_F(Swap, DeadGemsNeitherJoinNorCarryTheSearch) {
    gem(63).setColour(5);
    gem(64).setColour(4);
    gem(65).setColour(5);
    gem(65).life = 0.0f;
    gem(65).dead = true;
    gem(66).setColour(5);
    swap(63, 64);
    EXPECT_TRUE(lockedCells(board).empty());
    EXPECT_EQ(gem(64).colour(), 5);
}

TEST_F(Swap, TheDeadSelectedGemNoLongerMovesOrLocks) {
    // Left alone, this swap would move a dead gem's colour into 64 next to 65 and lock it there.
    gem(63).setColour(5);
    gem(63).life = 0.0f;
    gem(63).dead = true;
    gem(64).setColour(4);
    gem(65).setColour(5);
    swap(63, 64);
    EXPECT_EQ(gem(63).colour(), 5);
    EXPECT_EQ(gem(64).colour(), 4);
    EXPECT_FLOAT_EQ(gem(64).life, 1.0f);
    EXPECT_TRUE(lockedCells(board).empty());
}

TEST_F(Swap, CollectGroupSearchesDepthFirstInNeighbourOrder) {
    for (int cell : {63, 64, 65, 52}) {
        gem(cell).setColour(5);
    }
    std::vector<int> group;
    board.collectGroup(64, group);
    // Breadth first would give 63, 65, 52, 64.
    EXPECT_EQ(group, (std::vector<int>{63, 64, 65, 52}));

    // Cells with no company, or off the board, have no group; resolving them locks nothing.
    for (const int cell : {10, -1, Board::kCellCount}) {
        std::vector<int> alone;
        board.collectGroup(cell, alone);
        EXPECT_TRUE(alone.empty()) << cell;
    }
    board.resolveSwap(-1, Board::kCellCount);
    EXPECT_TRUE(lockedCells(board).empty());
}

TEST_F(Swap, ResolveSwapLocksOnlyCellsWithCompany) {
    gem(30).setColour(5);
    gem(31).setColour(5);
    gem(90).setColour(4);
    board.resolveSwap(30, 90);
    EXPECT_EQ(lockedCells(board), (std::vector<int>{30, 31}));
}
