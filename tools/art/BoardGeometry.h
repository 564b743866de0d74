#pragma once
// Where the game puts its gems, and how its view maps the board plane onto the 1024 x 768 images.

#include <vector>

// A point in the board plane (x right, y up) or in an image (x right, y down).
struct Point {
    double x = 0.0;
    double y = 0.0;
};

// The view shows x -50..50 and y 0..75 of the board plane on a 1024 x 768 window.
constexpr double pixelsPerUnit = 10.24;
constexpr double gemSize = 5.0; // each gem image is drawn as a 5 x 5 square

inline Point toImage(Point world) {
    return {(world.x + 50.0) * pixelsPerUnit, (75.0 - world.y) * pixelsPerUnit};
}

// The 127 cell centres in the board plane, row by row from the top, left to right.
std::vector<Point> cellCentres();

// Number of cells in row r (0..12).
int rowLength(int row);
