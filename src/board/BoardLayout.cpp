// The board's geometry: cell centres, the neighbour table and picking.

#include "board/Board.h"

#include <cmath>

namespace {

using NeighbourTable = std::array<Board::NeighbourCells, Board::kCellCount>;

constexpr int cellAt(int row, int column) {
    return Board::rowStart(row) + column;
}

constexpr void add(Board::NeighbourCells& list, int row, int column) {
    list.cells[list.count] = cellAt(row, column);
    ++list.count;
}

// The rows above the middle widen downwards and the rows below it narrow downwards, so which
// columns of the rows above and below touch a cell depends on the side of the middle it is on.
// The order of each list is part of the rules.
constexpr NeighbourTable buildNeighbourTable() {
    NeighbourTable table{};
    for (int r = 0; r < Board::kRowCount; ++r) {
        const int n = Board::rowLength(r);
        for (int k = 0; k < n; ++k) {
            Board::NeighbourCells& list = table[cellAt(r, k)];
            if (r == 0) {
                if (k > 0) {
                    add(list, 0, k - 1);
                }
                if (k < n - 1) {
                    add(list, 0, k + 1);
                }
                add(list, 1, k);
                add(list, 1, k + 1);
            } else if (r < 6) {
                if (k > 0) {
                    add(list, r, k - 1);
                    add(list, r - 1, k - 1);
                }
                if (k < n - 1) {
                    add(list, r, k + 1);
                    add(list, r - 1, k);
                }
                add(list, r + 1, k);
                add(list, r + 1, k + 1);
            } else if (r == 6) {
                if (k > 0) {
                    add(list, 6, k - 1);
                    add(list, 5, k - 1);
                    add(list, 7, k - 1);
                }
                if (k < n - 1) {
                    add(list, 6, k + 1);
                    add(list, 5, k);
                    add(list, 7, k);
                }
            } else if (r < 12) {
                if (k > 0) {
                    add(list, r, k - 1);
                    add(list, r + 1, k - 1);
                }
                if (k < n - 1) {
                    add(list, r, k + 1);
                    add(list, r + 1, k);
                }
                add(list, r - 1, k);
                add(list, r - 1, k + 1);
            } else {
                if (k > 0) {
                    add(list, 12, k - 1);
                }
                if (k < n - 1) {
                    add(list, 12, k + 1);
                }
                add(list, 11, k);
                add(list, 11, k + 1);
            }
        }
    }
    return table;
}

constexpr NeighbourTable kNeighbours = buildNeighbourTable();
constexpr Board::NeighbourCells kNoNeighbours{};

static_assert(Board::rowStart(Board::kRowCount) == Board::kCellCount, "13 rows hold 127 cells");

// Each row length has its own step; drawing and picking use the same ones. Indexed by the
// length less kEdgeRowLength.
constexpr int kRowLengthCount = Board::widening(Board::kRowCount / 2) + 1;
constexpr double kRowSteps[kRowLengthCount] = {6.659, 6.652, 6.65, 6.623, 6.619, 6.621, 6.638};
constexpr double kInverseRowSteps[kRowLengthCount] = {
    1.0 / 6.659, 1.0 / 6.652, 1.0 / 6.65, 1.0 / 6.623, 1.0 / 6.619, 1.0 / 6.621, 1.0 / 6.638};
constexpr double kInverseRowHeight = 1.0 / Board::kRowHeight;

constexpr double kHalfGem = Board::kGemSize / 2;
// The left edge of the top row's first square.
constexpr double kFirstLeftEdge = Board::kOriginX - kHalfGem;

} // namespace

double Board::rowStep(int length) {
    return kRowSteps[length - kEdgeRowLength];
}

int Board::rowOf(int cell) {
    int row = 0;
    while (row + 1 < kRowCount && rowStart(row + 1) <= cell) {
        ++row;
    }
    return row;
}

Board::PrecisePoint Board::preciseCellCentre(int cell) {
    const int row = rowOf(cell);
    const int m = widening(row);
    const int column = cell - rowStart(row);
    return PrecisePoint{kOriginX - kRowShift * m + column * rowStep(rowLength(row)),
                        kOriginY - kRowHeight * row};
}

Board::Point Board::cellCentre(int cell) {
    const PrecisePoint centre = preciseCellCentre(cell);
    return Point{static_cast<float>(centre.x), static_cast<float>(centre.y)};
}

const Board::NeighbourCells& Board::neighbourCells(int cell) {
    if (cell < 0 || cell >= kCellCount) {
        return kNoNeighbours;
    }
    return kNeighbours[cell];
}

std::vector<Gem*> Board::neighbours(int cell) const {
    const NeighbourCells& list = neighbourCells(cell);
    std::vector<Gem*> gems;
    gems.reserve(list.count);
    for (int neighbour : list) {
        gems.push_back(cells[neighbour]);
    }
    return gems;
}

int Board::pickCell(float x, float y) {
    // A row's band starts at the top edge of its squares and runs down to the next row's top edge.
    // Points above the top row's squares miss. The tests are written so that NaN misses too.
    const double rowBand = std::floor((kOriginY + kHalfGem - y) * kInverseRowHeight);
    if (!(rowBand >= 0 && rowBand < kRowCount)) {
        return -1;
    }
    const int row = static_cast<int>(rowBand);
    const int m = widening(row);
    const int length = rowLength(row);
    const double leftEdge = kFirstLeftEdge - kRowShift * m;
    const double step = kRowSteps[length - kEdgeRowLength];

    if (!(x >= leftEdge)) {
        return -1;
    }
    const double columnBand =
        std::floor((x - leftEdge) * kInverseRowSteps[length - kEdgeRowLength]);
    if (columnBand > length - 1) {
        return -1;
    }
    const int column = static_cast<int>(columnBand);
    // Past the right edge of the square, in the gap before the next one.
    if (x > leftEdge + column * step + kGemSize) {
        return -1;
    }
    return rowStart(row) + column;
}
