// A steady frame allocates nothing: neither the play screen's frame nor the rules' update of a
// frame that spawns no sparkle. A program of its own, as the counter replaces its allocator.

#include "app/Game.h"
#include "board/Board.h"
#include "board/Gem.h"
#include "board/ScreenState.h"
#include "support/AllocationCounter.h"
#include "support/GlContext.h"
#include "support/KeptBoard.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(SteadyFrame, PlayAndRulesFramesAllocateNothing) {
    ASSERT_TRUE(ensureGlContext());
    Board& board = keptBoard(11);
    theBoard = &board;
    board.cells[40]->pulsing = true; // drawn last, in a second pass
    board.cells[41]->sparkles.push_back(Sparkle{});
    screenState = Playing;
    Game::instance()->render(); // the first frame makes what the later ones reuse
    const std::size_t beforePlay = allocationCount();
    for (int frame = 0; frame < 10; ++frame) {
        Game::instance()->render();
    }
    EXPECT_EQ(allocationCount(), beforePlay) << "play frames allocated";

    // Bright, still gems roll for a sparkle every frame; only a frame that spawns one may allocate.
    constexpr float kFrameTime = 1.0f / 60;
    for (Gem* gem : board.cells) {
        gem->setSpin(0.0f);
    }
    int quietFrames = 0;
    for (int frame = 0; frame < 300; ++frame) {
        const std::size_t before = allocationCount();
        board.update(kFrameTime);
        board.tally();
        const bool spawned = std::any_of(board.cells.begin(), board.cells.end(), [](Gem* gem) {
            return !gem->sparkles.empty() && gem->sparkles.front().age == kFrameTime;
        });
        quietFrames += spawned ? 0 : 1;
        EXPECT_TRUE(spawned || allocationCount() == before) << "rules frame " << frame;
    }
    EXPECT_GT(quietFrames, 100);
}
