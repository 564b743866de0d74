#include "art/BoardGeometry.h"

int rowLength(int row) {
    return 7 + (row <= 6 ? row : 12 - row);
}

std::vector<Point> cellCentres() {
    // The same constants as the game's board drawing; the steps differ a little by row length.
    const double steps[] = {6.659, 6.652, 6.65, 6.623, 6.619, 6.621, 6.638};
    std::vector<Point> centres;
    for (int row = 0; row < 13; ++row) {
        const int m = row <= 6 ? row : 12 - row;
        const double step = steps[rowLength(row) - 7];
        for (int j = 0; j < rowLength(row); ++j) {
            centres.push_back({-19.9219 - 3.3 * m + j * step, 70.7031 - 5.56 * row});
        }
    }
    return centres;
}
