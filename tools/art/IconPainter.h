#pragma once
// Paints the desktop icon: seven tinted gems in a small hexagon, as on the board, with a sparkle.

#include "art/Canvas.h"

// Paints the icon into a square canvas of any size, on a transparent background. From 48 pixels
// up each size is painted afresh rather than scaled down, so its rims stay crisp; below that,
// make_icons paints a larger one and averages it down.
void paintIcon(Canvas& canvas);
