// Drawing on Mesa's software renderer: the board alone, the board's draw calls without their
// pixels, a whole play frame (background, board, buffer swap) and, to compare it with, a frame
// that draws only the background.

#include "AllocationCounter.h"
#include "app/View.h"
#include "board/Board.h"
#include "board/Gem.h"
#include "board/ScreenState.h"
#include "gfx/BoardDrawing.h"
#include "support/GlContext.h"
#include "ui/Backdrop.h"

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

namespace {

// A board in mid-game: every gem turned a little, a few pulsing and a few sparkling.
Board& midGameBoard() {
    static Board* const board = [] {
        auto* b = new Board(20240601u);
        for (int cell = 0; cell < Board::kCellCount; ++cell) {
            Gem& gem = *b->cells[cell];
            gem.angle = static_cast<float>(cell * 7 % 360);
            gem.life = 0.5f + 0.5f * static_cast<float>(cell % 3) / 2.0f;
            gem.pulsing = cell % 13 == 0;
            if (cell % 11 == 0) {
                Sparkle sparkle;
                sparkle.scale = 0.8f;
                sparkle.angle = 30.0f;
                sparkle.x = 0.2f;
                gem.sparkles.push_back(sparkle);
            }
        }
        return b;
    }();
    return *board;
}

bool prepare(benchmark::State& state) {
    if (!ensureGlContext()) {
        state.SkipWithError("no X display");
        return false;
    }
    Backdrop* backdrop = Backdrop::instance();
    backdrop->load();
    backdrop->setBounds(75.0, 50.0, 0.0, -50.0);
    screenState = Playing;
    View::instance()->applyTransform();
    return true;
}

struct AllocationMark {
    std::size_t ours = allocationCount();
    std::size_t all = mallocCount();
};

// allocs/frame: the game's own (operator new); mallocs/frame: every malloc in the process, most
// of them the GL driver's, which the game cannot avoid.
void reportAllocations(benchmark::State& state, const AllocationMark& before) {
    state.counters["allocs/frame"] = benchmark::Counter(
        static_cast<double>(allocationCount() - before.ours), benchmark::Counter::kAvgIterations);
    state.counters["mallocs/frame"] = benchmark::Counter(
        static_cast<double>(mallocCount() - before.all), benchmark::Counter::kAvgIterations);
}

} // namespace

// Times drawBoard alone, after one untimed call that makes the deferred storage.
static void timeBoardDraws(benchmark::State& state) {
    const Board& board = midGameBoard();
    drawBoard(board);
    glFinish();
    const AllocationMark before;
    for (auto _ : state) {
        drawBoard(board);
        glFinish();
    }
    reportAllocations(state, before);
}

static void BM_DrawBoard(benchmark::State& state) {
    if (prepare(state)) {
        timeBoardDraws(state);
    }
}
BENCHMARK(BM_DrawBoard)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same calls into a one-pixel viewport: almost nothing is rasterised, so what is left is the
// cost of issuing the 266 draws (each list binds its own texture) in the GL driver.
static void BM_DrawBoardCallsOnly(benchmark::State& state) {
    if (!prepare(state)) {
        return;
    }
    glViewport(0, 0, 1, 1);
    timeBoardDraws(state);
    glViewport(0, 0, View::kWidth, View::kHeight);
}
BENCHMARK(BM_DrawBoardCallsOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();

static void BM_PlayFrame(benchmark::State& state) {
    if (!prepare(state)) {
        return;
    }
    const Board& board = midGameBoard();
    drawBoard(board);
    const AllocationMark before;
    for (auto _ : state) {
        View::instance()->applyTransform();
        Backdrop::instance()->drawBackground(0.016f);
        drawBoard(board);
        glutSwapBuffers();
        glFinish();
    }
    reportAllocations(state, before);
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

static void BM_BackgroundOnlyFrame(benchmark::State& state) {
    if (!prepare(state)) {
        return;
    }
    const AllocationMark before;
    for (auto _ : state) {
        View::instance()->applyTransform();
        Backdrop::instance()->drawBackground(0.016f);
        glutSwapBuffers();
        glFinish();
    }
    reportAllocations(state, before);
}
BENCHMARK(BM_BackgroundOnlyFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();
