#pragma once
// The play screen that the draw benchmarks time: a board in mid-game over the background, drawn
// in the GL state that the game's start-up leaves, and the process-wide figures they report
// beside their times (processor time and minor page faults of every thread, the GL driver's
// rasteriser threads included).

class Board;

namespace benchmark {
class State;
} // namespace benchmark

// A board in mid-game: every gem turned a little, a few pulsing and a few sparkling.
Board& midGameBoard();

// Makes the context current in the state the game's start-up leaves (depth test, culling, flat
// shading), with the backdrops loaded and the play screen's camera. Skips the benchmark and
// returns false when there is no X display.
bool preparePlayScreen(benchmark::State& state);

// One play frame as the game draws it (camera, background, board), without the buffer swap.
void drawPlayFrame(const Board& board);

// Processor time of the whole process so far, in seconds.
double processSeconds();
// Minor page faults of the whole process so far, from /proc/self/stat.
long minorFaults();
