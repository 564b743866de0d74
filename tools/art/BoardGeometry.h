#pragma once
// Where the game puts its gems (from the rules library), and how its view maps the board plane onto
// the 1024 x 768 images.

#include "board/Board.h"

#include <vector>

// A point in the board plane (x right, y up) or in an image (x right, y down).
struct Point {
    double x = 0.0;
    double y = 0.0;
};

// The view shows x -50..50 and y 0..75 of the board plane on a 1024 x 768 window.
constexpr double pixelsPerUnit = 10.24;
constexpr double gemSize = Board::kGemSize; // each gem image is drawn as a square this wide

inline Point toImage(Point world) {
    return {(world.x + 50.0) * pixelsPerUnit, (75.0 - world.y) * pixelsPerUnit};
}

// The 127 cell centres in the board plane, row by row from the top, left to right.
std::vector<Point> cellCentres();
