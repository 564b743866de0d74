#include "art/Preview.h"

#include "art/BoardGeometry.h"
#include "art/GemPainter.h"
#include "board/BoardPlane.h"
#include "board/GemColours.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr double pi = 3.14159265358979323846;

struct Texel {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 0.0;
};

// Bilinear lookup with GL_CLAMP: outside the image the border colour (transparent black) mixes in.
Texel sample(const Pixels& image, double u, double v) {
    const double x = u * image.width - 0.5;
    const double y = v * image.height - 0.5;
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0;
    const double fy = y - y0;
    Texel out;
    for (int dy = 0; dy <= 1; ++dy) {
        for (int dx = 0; dx <= 1; ++dx) {
            const int tx = x0 + dx;
            const int ty = y0 + dy;
            if (tx < 0 || ty < 0 || tx >= image.width || ty >= image.height) {
                continue;
            }
            const double weight = (dx ? fx : 1 - fx) * (dy ? fy : 1 - fy);
            const unsigned char* p = &image.rgba[(static_cast<size_t>(ty) * image.width + tx) * 4];
            out.r += weight * p[0] / 255.0;
            out.g += weight * p[1] / 255.0;
            out.b += weight * p[2] / 255.0;
            out.a += weight * p[3] / 255.0;
        }
    }
    return out;
}

// Draws a sprite's unit square centred at world (cx, cy), size world units wide, turned by
// angle degrees counter-clockwise, modulated by the colour and blended over the target.
void drawSprite(Pixels& target, const Pixels& sprite, Point centre, double size, double angle,
                const double colour[3]) {
    const Point c = toImage(centre);
    const double reach = size * BoardPlane::kPixelsPerUnit * 0.75;
    const double cosA = std::cos(angle * pi / 180);
    const double sinA = std::sin(angle * pi / 180);
    for (int py = static_cast<int>(c.y - reach); py <= static_cast<int>(c.y + reach); ++py) {
        for (int px = static_cast<int>(c.x - reach); px <= static_cast<int>(c.x + reach); ++px) {
            if (px < 0 || py < 0 || px >= target.width || py >= target.height) {
                continue;
            }
            // Pixel centre into the board plane, then into the square's own frame.
            const double wx = BoardPlane::planeX(px + 0.5) - centre.x;
            const double wy = BoardPlane::planeY(py + 0.5) - centre.y;
            const double lx = (cosA * wx + sinA * wy) / size;
            const double ly = (-sinA * wx + cosA * wy) / size;
            if (std::fabs(lx) > 0.5 || std::fabs(ly) > 0.5) {
                continue;
            }
            const Texel t = sample(sprite, lx + 0.5, 0.5 - ly);
            if (t.a <= 0.0) {
                continue;
            }
            unsigned char* d = &target.rgba[(static_cast<size_t>(py) * target.width + px) * 4];
            const double src[3] = {t.r * colour[0], t.g * colour[1], t.b * colour[2]};
            for (int k = 0; k < 3; ++k) {
                const double v = src[k] * t.a + d[k] / 255.0 * (1 - t.a);
                d[k] = static_cast<unsigned char>(std::lround(std::fmin(1.0, v) * 255));
            }
        }
    }
}

// A small fixed random sequence, so that the preview is the same every time.
class Dice {
  public:
    double next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 11) / static_cast<double>(1ull << 53);
    }
    int below(int n) { return static_cast<int>(next() * n); }

  private:
    uint64_t state = 12345;
};

} // namespace

bool writeBoardPreview(const std::string& imagesDir, const std::string& outPath) {
    std::array<std::array<Pixels, 3>, Gem::kShapeCount> art;
    for (int s = 0; s < Gem::kShapeCount; ++s) {
        for (int k = 0; k < 3; ++k) {
            if (!readPng(imagesDir + "/" + gemFileName(Gem::kMinSides + s, kGemLayers[k]),
                         art[s][k])) {
                return false;
            }
        }
    }
    Pixels board;
    Pixels highlight;
    if (!readPng(imagesDir + "/background.png", board) ||
        !readPng(imagesDir + "/" + highlightFileName(), highlight)) {
        return false;
    }

    const double white[3] = {1, 1, 1};
    Dice dice;
    const auto centres = cellCentres();
    for (size_t cell = 0; cell < centres.size(); ++cell) {
        const int colour = dice.below(Gem::kColourCount);
        const int shape = dice.below(Gem::kShapeCount);
        // Rows tell the story: full colour at the top, fading further down, dead at the bottom.
        const int row = cell < 7 ? 0 : (cell < 57 ? 3 : (cell < 84 ? 7 : (cell < 107 ? 9 : 12)));
        const double life = row <= 3 ? 1.0 : (row == 7 ? 0.5 : 0.0);
        const bool dead = row == 12;
        const bool pulsing = cell % 29 == 3;
        double tint[3];
        for (int k = 0; k < 3; ++k) {
            const double v = gemColours[colour][k];
            tint[k] = v + (1 - life) * (kFadeGrey - v);
        }
        const double size = gemSize * (pulsing ? 1.35 : 1.0);
        const double angle = dice.next() * 360;
        drawSprite(board, art[shape][0], centres[cell], size, angle, tint);
        if (dead) {
            drawSprite(board, art[shape][2], centres[cell], size, angle, white);
        } else {
            drawSprite(board, art[shape][1], centres[cell], size, angle, tint);
        }
        if (cell % 11 == 5) {
            const Point at{centres[cell].x + (dice.next() - 0.5) * 4,
                           centres[cell].y + (dice.next() - 0.5) * 4};
            drawSprite(board, highlight, at, gemSize * (0.5 + dice.next() * 0.5), 30, white);
        }
    }
    return writePng(board, outPath, false);
}
