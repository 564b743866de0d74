#pragma once
// Paints the three full-window pictures: the play-screen background, the title and the rules.

#include "art/Canvas.h"
#include "art/Typefaces.h"

constexpr int screenWidth = 1024;
constexpr int screenHeight = 768;

// The board's backdrop, fully opaque: a calm dark surround and a slate tray with a socket under
// every cell.
void paintBackground(Canvas& canvas);

void paintTitle(Canvas& canvas, const Typefaces& faces);

void paintInstructions(Canvas& canvas, const Typefaces& faces);

// A tinted gem as the game shows it (body and rim in one colour), for decorating the screens.
void paintTintedGem(cairo_t* cr, int sides, double centreX, double centreY, double size,
                    double angle, const double rgb[3]);
