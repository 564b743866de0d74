// One frame of rules work: every gem's update plus the tally, in the steady state where every
// loose gem is bright and slow enough to roll for a sparkle (one rand() each). Allocations are
// counted through the global operator new, to show that a frame that spawns no sparkle allocates
// nothing.

#include "AllocationCounter.h"
#include "board/Board.h"
#include "board/Gem.h"
#include "board/ScreenState.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr float kFrameTime = 1.0f / 60;
// A loose gem loses 0.0005 of life per frame at 60 frames a second, so it stays above the
// sparkle threshold of 0.7 for 600 frames; refilling every 512 keeps every gem rolling.
constexpr std::int64_t kRefillEvery = 512;

Board& steadyBoard() {
    static Board* const board = new Board(20240601u);
    return *board;
}

// Full colour and no spin: every gem is loose, bright and still.
void settle(Board& board) {
    for (Gem* gem : board.cells) {
        gem->setSpin(0.0f);
        gem->life = 1.0f;
    }
}

void refill(Board& board) {
    for (Gem* gem : board.cells) {
        gem->life = 1.0f;
    }
}

// A frame spawned a sparkle when some gem's newest sparkle is exactly one frame old.
bool spawnedThisFrame(const Board& board) {
    for (const Gem* gem : board.cells) {
        if (!gem->sparkles.empty() && gem->sparkles.front().age == kFrameTime) {
            return true;
        }
    }
    return false;
}

std::size_t sparklesAlive(const Board& board) {
    std::size_t count = 0;
    for (const Gem* gem : board.cells) {
        count += gem->sparkles.size();
    }
    return count;
}

} // namespace

// The figure that matters: update of 127 gems plus the tally.
static void BM_RulesFrame(benchmark::State& state) {
    Board& board = steadyBoard();
    settle(board);
    screenState = Playing;
    std::srand(7);
    const std::size_t before = allocationCount();
    std::int64_t frames = 0;
    for (auto _ : state) {
        board.update(kFrameTime);
        board.tally();
        benchmark::DoNotOptimize(score);
        // 127 stores every 512 frames: well under a nanosecond a frame.
        if (++frames % kRefillEvery == 0) {
            refill(board);
        }
    }
    state.counters["allocs/frame"] = benchmark::Counter(
        static_cast<double>(allocationCount() - before), benchmark::Counter::kAvgIterations);
    state.counters["sparkles"] = static_cast<double>(sparklesAlive(board));
}
BENCHMARK(BM_RulesFrame);

// The same frames, checked one by one: a frame that spawns no sparkle must not allocate. The
// check itself costs time, so this one's timing is not the figure.
static void BM_RulesFrameAllocationCheck(benchmark::State& state) {
    Board& board = steadyBoard();
    settle(board);
    screenState = Playing;
    std::srand(8);
    std::int64_t frames = 0;
    std::int64_t quietFrames = 0;
    std::int64_t quietAllocations = 0;
    std::int64_t spawningFrames = 0;
    std::int64_t spawningAllocations = 0;
    for (auto _ : state) {
        const std::size_t before = allocationCount();
        board.update(kFrameTime);
        board.tally();
        const std::int64_t made = static_cast<std::int64_t>(allocationCount() - before);
        if (spawnedThisFrame(board)) {
            ++spawningFrames;
            spawningAllocations += made;
        } else {
            ++quietFrames;
            quietAllocations += made;
        }
        if (++frames % kRefillEvery == 0) {
            refill(board);
        }
    }
    state.counters["quietFrames"] = static_cast<double>(quietFrames);
    state.counters["quietAllocs"] = static_cast<double>(quietAllocations);
    state.counters["spawnFrames"] = static_cast<double>(spawningFrames);
    state.counters["spawnAllocs"] = static_cast<double>(spawningAllocations);
}
BENCHMARK(BM_RulesFrameAllocationCheck);

// The floor: the 127 rand() draws that the sparkle roll costs every frame.
static void BM_SparkleRollFloor(benchmark::State& state) {
    std::srand(9);
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < Board::kCellCount; ++i) {
            sum += std::rand() % 500 == 1;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_SparkleRollFloor);
