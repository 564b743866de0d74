// Drawing on Mesa's software renderer: the board alone, the board's draw calls without their
// pixels, a whole play frame (background, board, buffer swap) and, to compare it with, a frame
// that draws only the background.

#include "PlayScreen.h"
#include "app/View.h"
#include "board/Board.h"
#include "gfx/BoardDrawing.h"
#include "support/AllocationCounter.h"
#include "ui/Backdrop.h"

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

namespace {

struct AllocationMark {
    std::size_t ours = allocationCount();
    std::size_t all = mallocCount();
    long faults = minorFaults();
};

// allocs/frame: the game's own (operator new); mallocs/frame: every malloc in the process, most
// of them the GL driver's, which the game cannot avoid; faults/frame: minor page faults of the
// whole process, pages that the heap gave back to the system and a frame touched again.
void reportAllocations(benchmark::State& state, const AllocationMark& before) {
    state.counters["allocs/frame"] = benchmark::Counter(
        static_cast<double>(allocationCount() - before.ours), benchmark::Counter::kAvgIterations);
    state.counters["mallocs/frame"] = benchmark::Counter(
        static_cast<double>(mallocCount() - before.all), benchmark::Counter::kAvgIterations);
    state.counters["faults/frame"] = benchmark::Counter(
        static_cast<double>(minorFaults() - before.faults), benchmark::Counter::kAvgIterations);
}

} // namespace

// Times drawBoard alone, after one untimed call that leaves the driver its first-use work.
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
    if (preparePlayScreen(state)) {
        timeBoardDraws(state);
    }
}
BENCHMARK(BM_DrawBoard)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();

// The same calls into a one-pixel viewport: almost nothing is rasterised, so what is left is the
// cost of issuing the 266 draws (each list binds its own texture) in the GL driver.
static void BM_DrawBoardCallsOnly(benchmark::State& state) {
    if (!preparePlayScreen(state)) {
        return;
    }
    glViewport(0, 0, 1, 1);
    timeBoardDraws(state);
    glViewport(0, 0, View::kWidth, View::kHeight);
}
BENCHMARK(BM_DrawBoardCallsOnly)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

static void BM_PlayFrame(benchmark::State& state) {
    if (!preparePlayScreen(state)) {
        return;
    }
    const Board& board = midGameBoard();
    drawBoard(board);
    const AllocationMark before;
    for (auto _ : state) {
        drawPlayFrame(board);
        glutSwapBuffers();
        glFinish();
    }
    reportAllocations(state, before);
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();

static void BM_BackgroundOnlyFrame(benchmark::State& state) {
    if (!preparePlayScreen(state)) {
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
BENCHMARK(BM_BackgroundOnlyFrame)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
