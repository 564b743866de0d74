#pragma once
// Paints the gem pictures: faceted bodies, rims and the twinkle, each centred in a square canvas.

#include "art/Canvas.h"

#include <string>

// Which of a gem shape's pictures to paint.
enum class GemLayer { Fill, Outline, OutlineWhite };
constexpr GemLayer kGemLayers[] = {GemLayer::Fill, GemLayer::Outline, GemLayer::OutlineWhite};

// The file a shape's picture is written to in the images folder ("HexJemFill.png" for six sides),
// and the sparkle's: the names the game loads them by (gfx/GemPictures.h).
std::string gemFileName(int sides, GemLayer layer);
std::string highlightFileName();
// The name in the images folder of a picture (a path or file name the game knows it by) made at
// a scale: the name the game loads it by at that scale (gfx/PictureScale.h).
std::string fileNameAt(const std::string& path, int scale);

// The geometry shared by a shape's three pictures, so that body and rims line up exactly.
class GemPainter {
  public:
    // sides: 6 to 10; size: the square canvas's side in its units (pixels at scale 1).
    GemPainter(int sides, int size);

    void paint(Canvas& canvas, GemLayer layer) const;

  private:
    void paintFill(cairo_t* cr) const;
    void paintRim(cairo_t* cr, bool white) const;

    int sides = 6;
    double centre = 0.0;
    double radius = 0.0; // to the corners
    double rimWidth = 0.0;
};

// The sparkle: a small white four-pointed twinkle in a soft glow, centred in the canvas.
void paintTwinkle(Canvas& canvas);
