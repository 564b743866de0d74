#include "art/BoardGeometry.h"

#include "board/Board.h"

std::vector<Point> cellCentres() {
    // The game's own layout, unrounded, so the sockets sit exactly where the gems are drawn and
    // picked.
    std::vector<Point> centres;
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        const Board::PrecisePoint centre = Board::preciseCellCentre(cell);
        centres.push_back({centre.x, centre.y});
    }
    return centres;
}
