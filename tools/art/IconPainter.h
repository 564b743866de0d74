#pragma once
// Paints the desktop icon: seven tinted gems in a small hexagon, as on the board, with a sparkle.

#include "art/Canvas.h"

// Paints the icon into a square canvas of any size, on a transparent background. Each size is
// painted afresh rather than scaled down, so the small ones keep crisp rims.
void paintIcon(Canvas& canvas);
