#pragma once
// Paints the three full-window pictures: the play-screen background, the title and the rules.

#include "art/Canvas.h"
#include "art/Typefaces.h"
#include "board/BoardPlane.h"

constexpr int screenWidth = BoardPlane::kPictureWidth;
constexpr int screenHeight = BoardPlane::kPictureHeight;

// The board's backdrop, fully opaque: a calm dark surround and a slate tray with a socket under
// every cell.
void paintBackground(Canvas& canvas);

void paintTitle(Canvas& canvas, const Typefaces& faces);

void paintInstructions(Canvas& canvas, const Typefaces& faces);

// A tinted gem as the game shows it (body and rim in one colour), for decorating the screens.
void paintTintedGem(cairo_t* cr, int sides, double centreX, double centreY, double size,
                    double angle, const float rgb[3]);
