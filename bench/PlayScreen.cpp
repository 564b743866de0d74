#include "PlayScreen.h"

#include "app/Game.h"
#include "app/View.h"
#include "board/Board.h"
#include "board/BoardPlane.h"
#include "board/Gem.h"
#include "board/ScreenState.h"
#include "gfx/BoardDrawing.h"
#include "support/GlContext.h"
#include "ui/Backdrop.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>

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

bool preparePlayScreen(benchmark::State& state) {
    if (!ensureGlContext()) {
        state.SkipWithError("no X display");
        return false;
    }
    Game::setFixedGlState();
    Backdrop* backdrop = Backdrop::instance();
    backdrop->load();
    backdrop->setBounds(BoardPlane::kTop, BoardPlane::kRight, BoardPlane::kBottom,
                        BoardPlane::kLeft);
    screenState = Playing;
    View::instance()->applyTransform();
    return true;
}

void drawPlayFrame(const Board& board) {
    View::instance()->applyTransform();
    Backdrop::instance()->drawBackground(0.016f);
    drawBoard(board);
}

double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

long minorFaults() {
    // Read without allocating, so that counting the faults makes no heap traffic of its own.
    char text[512] = {};
    const int file = open("/proc/self/stat", O_RDONLY);
    if (file < 0) {
        return -1;
    }
    const ssize_t length = read(file, text, sizeof text - 1);
    close(file);
    // The tenth field; the second, the program's name, is the one in parentheses.
    const char* field = length > 0 ? std::strrchr(text, ')') : nullptr;
    long faults = -1;
    if (field == nullptr ||
        std::sscanf(field + 1, " %*c %*d %*d %*d %*d %*d %*u %ld", &faults) != 1) {
        return -1;
    }
    return faults;
}
