#pragma once
// Where the game puts its gems (from the rules library), and how its view maps the board plane onto
// the full-window images (board/BoardPlane.h).

#include "board/Board.h"
#include "board/BoardPlane.h"

#include <vector>

// A point in the board plane (x right, y up) or in an image (x right, y down).
struct Point {
    double x = 0.0;
    double y = 0.0;
};

constexpr double gemSize = Board::kGemSize; // each gem image is drawn as a square this wide

inline Point toImage(Point world) {
    return {BoardPlane::pictureX(world.x), BoardPlane::pictureY(world.y)};
}

// The 127 cell centres in the board plane, row by row from the top, left to right.
std::vector<Point> cellCentres();
