// A steady frame allocates nothing on the heap: neither the play screen's frame nor the rules'
// update of a frame that spawns no sparkle. A program of its own, because the counter replaces the
// allocator of the whole program.

#include "app/Game.h"
#include "app/ScreenState.h"
#include "board/Board.h"
#include "board/Gem.h"
#include "support/AllocationCounter.h"
#include "support/GlContext.h"
#include "support/KeptBoard.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(SteadyFrame, PlayAndRulesFramesAllocateNothing) {
    ASSERT_TRUE(ensureGlContext());
    Board& board = keptBoard(11);
    theBoard = &board;
    // A pulsing gem is drawn last from stored matrices, and a sparkle is drawn with its gem.
    board.cells[40]->pulsing = true;
    board.cells[41]->sparkles.push_back(Sparkle{});
    screenState = Playing;
    Game& game = *Game::instance();
    // The first frame makes what every later one reuses.
    game.render();
    const std::size_t beforePlay = allocationCount();
    for (int frame = 0; frame < 10; ++frame) {
        game.render();
    }
    EXPECT_EQ(allocationCount(), beforePlay) << "play frames allocated";

    // Bright, still gems roll for a sparkle every frame; only a frame that spawns one may allocate.
    constexpr float kFrameTime = 1.0f / 60;
    for (Gem* gem : board.cells) {
        gem->setSpin(0.0f);
        gem->life = 1.0f;
    }
    std::srand(8);
    int quietFrames = 0;
    for (int frame = 0; frame < 300; ++frame) {
        const std::size_t before = allocationCount();
        board.update(kFrameTime);
        board.tally();
        bool spawned = false;
        for (const Gem* gem : board.cells) {
            spawned =
                spawned || (!gem->sparkles.empty() && gem->sparkles.front().age == kFrameTime);
        }
        if (!spawned) {
            ++quietFrames;
            EXPECT_EQ(allocationCount(), before) << "rules frame " << frame;
        }
    }
    EXPECT_GT(quietFrames, 100);
}
