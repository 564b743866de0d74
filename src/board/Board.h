#pragma once
// The playing field: a hexagon of 127 cells in 13 rows (7, 8, ... 13, ... 8, 7), numbered row by
// row from the top, left to right, each holding one gem for the whole run. Holds the layout (cell
// centres, neighbours, picking) and the rules (swap, group locking, tally).

#include "board/Score.h"

#include <array>
#include <vector>

class Gem;

class Board {
  public:
    static constexpr int kCellCount = 127;
    static constexpr int kRowCount = 13;
    static constexpr int kMaxNeighbours = 6;

    // Board-plane geometry: the centre of cell 0, the shift of each row's first centre to the left
    // per row towards the middle, the row height and the width of a gem's square.
    static constexpr double kOriginX = -19.9219;
    static constexpr double kOriginY = 70.7031;
    static constexpr double kRowShift = 3.3;
    static constexpr double kRowHeight = 5.56;
    static constexpr double kGemSize = 5.0;

    // The cells around one cell, in the order that spin spreads, generation re-rolls and the group
    // search visits them.
    struct NeighbourCells {
        int count = 0;
        int cells[kMaxNeighbours] = {};

        const int* begin() const { return cells; }
        const int* end() const { return cells + count; }
    };

    struct Point {
        float x = 0.0f;
        float y = 0.0f;
    };
    // A centre as the layout computes it, before it is rounded to the floats the game works in.
    struct PrecisePoint {
        double x = 0.0;
        double y = 0.0;
    };

    // Builds a new board, seeding rand() with the calendar time in seconds.
    Board();
    // Builds the board that the given seed produces.
    explicit Board(unsigned seed);
    // Gems know their board, so a board is never copied.
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    static constexpr int kEdgeRowLength = 7;

    // How many rows a row lies from the top or bottom row, whichever is nearer (6 in the middle):
    // each row towards the middle is one cell longer and starts kRowShift further left.
    static constexpr int widening(int row) {
        return row < kRowCount - 1 - row ? row : kRowCount - 1 - row;
    }
    static constexpr int rowLength(int row) { return kEdgeRowLength + widening(row); }
    static constexpr int rowStart(int row) {
        int start = 0;
        for (int r = 0; r < row; ++r) {
            start += rowLength(r);
        }
        return start;
    }
    // The distance between two centres of a row, which depends on the row's length only.
    static double rowStep(int length);
    static int rowOf(int cell);
    static Point cellCentre(int cell);
    // The same centre unrounded: the art tool paints the background's sockets there.
    static PrecisePoint preciseCellCentre(int cell);

    // Empty for a cell outside 0..126.
    static const NeighbourCells& neighbourCells(int cell);
    // The gems of neighbourCells(cell), in the same order.
    std::vector<Gem*> neighbours(int cell) const;

    // The cell whose pick box holds the board-plane point, or -1. A pick box is the gem's 5-unit
    // square widened downwards to the next row, so only the gaps within a row miss.
    static int pickCell(float x, float y);

    // Every gem's update, in cell order.
    void update(float dt);

    // a is the selected cell, b the clicked one. Two loose, living neighbours trade their visible
    // state and the groups around both cells are resolved; anything else is refused. The
    // selection is cleared either way.
    void swap(int a, int b);
    // Locks the same-coloured living group around a, then around b, when the cell has company.
    void resolveSwap(int a, int b);
    // Appends to group every cell reachable from cell through living gems of its colour, depth
    // first in neighbour order. Locked gems take part; dead gems stop the search. Appends nothing
    // for a cell outside 0..126.
    void collectGroup(int cell, std::vector<int>& group) const;

    // Recounts score (locked gems) and ends the game when five or fewer loose gems remain.
    void tally() const;

    std::array<Gem*, kCellCount> cells{};
    // The selected cell, -1 for none.
    int selected = -1;
};
