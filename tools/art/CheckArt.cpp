// Checks the pictures make_art wrote for what the game's drawing relies on: gem sprites whose
// square never shows, pale neutral bodies that a colour tint turns into any gem colour, rims on
// the body's edge with a white twin for dead gems, a twinkle for the sparkle, and full-screen
// pictures that are opaque everywhere (the background is drawn with the alpha test on); each of
// them at 1x and at 2x. Usage: check_art <images-dir>; prints each problem and exits 1 when there
// is any.

#include "art/Canvas.h"
#include "art/GemPainter.h"
#include "art/Screens.h"
#include "board/Gem.h"
#include "gfx/PictureScale.h"
#include "ui/BackdropPictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int problems = 0;

void expect(bool ok, const std::string& path, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "check_art: %s: %s\n", path.c_str(), what);
        ++problems;
    }
}

const unsigned char* texel(const Pixels& p, int x, int y) {
    return &p.rgba[4 * (static_cast<std::size_t>(y) * p.width + x)];
}

int alphaAt(const Pixels& p, int x, int y) {
    return texel(p, x, y)[3];
}

double luminance(const unsigned char* t) {
    return (0.2126 * t[0] + 0.7152 * t[1] + 0.0722 * t[2]) / 255.0;
}

bool load(const std::string& path, Pixels& pixels) {
    const bool ok = readPng(path, pixels) && pixels.width > 0;
    expect(ok, path, "cannot be read");
    return ok;
}

// A square power-of-two sprite, clear in all four corners.
void checkSpriteFrame(const Pixels& p, const std::string& path) {
    const int last = p.width - 1;
    expect(p.width == p.height && (p.width & last) == 0, path, "not a power-of-two square");
    expect(alphaAt(p, 0, 0) == 0 && alphaAt(p, last, 0) == 0 && alphaAt(p, 0, last) == 0 &&
               alphaAt(p, last, last) == 0,
           path, "a corner is not transparent");
}

// Gems sit about 6.6 units apart but are drawn 5 wide: the body fills its square nearly to the
// edge (every shape has a corner at the top). Green at full strength times the body must still
// read as bright green, and a faded gem as grey rather than black; filtering mixes the edge's
// texels in, so a dark edge would draw a dark fringe.
void checkBody(const Pixels& body, const std::string& path) {
    checkSpriteFrame(body, path);
    const int c = body.width / 2;
    int top = 0;
    while (top < body.height && alphaAt(body, c, top) < 128) {
        ++top;
    }
    expect(alphaAt(body, c, c) == 255 && top <= body.height / 32, path,
           "the body does not fill its square");
    double sum = 0.0;
    int count = 0;
    int worstCast = 0;
    double darkestEdge = 1.0;
    for (int y = 0; y < body.height; ++y) {
        for (int x = 0; x < body.width; ++x) {
            const unsigned char* t = texel(body, x, y);
            if (t[3] == 255) {
                sum += luminance(t);
                ++count;
                worstCast = std::max({worstCast, std::abs(t[0] - t[1]), std::abs(t[1] - t[2])});
            } else if (t[3] > 0) {
                darkestEdge = std::min(darkestEdge, luminance(t));
            }
        }
    }
    expect(count > 0 && sum / count > 0.7, path, "the body is not pale");
    expect(worstCast <= 3, path, "the body is not neutral grey");
    expect(darkestEdge > 0.3, path, "the body's edge is dark");
}

// The rims lie on the body's edge, the white one matches the dark one's shape, the dark one is
// darker than the body under the same tint and the white one reads white on a dead gem.
void checkRims(const Pixels& body, const Pixels& dark, const Pixels& white,
               const std::string& path) {
    checkSpriteFrame(dark, path);
    checkSpriteFrame(white, path);
    if (dark.width != body.width || white.width != body.width) {
        expect(false, path, "the rims and the body differ in size");
        return;
    }
    const double half = body.width / 2.0;
    int rim = 0;
    int strays = 0;
    int alphaMismatch = 0;
    double darkSum = 0.0;
    double whiteSum = 0.0;
    for (int y = 0; y < body.height; ++y) {
        for (int x = 0; x < body.width; ++x) {
            alphaMismatch =
                std::max(alphaMismatch, std::abs(alphaAt(dark, x, y) - alphaAt(white, x, y)));
            if (alphaAt(dark, x, y) != 255) {
                continue;
            }
            ++rim;
            strays +=
                alphaAt(body, x, y) == 0 || std::hypot(x + 0.5 - half, y + 0.5 - half) < half * 0.7;
            darkSum += luminance(texel(dark, x, y));
            whiteSum += luminance(texel(white, x, y));
        }
    }
    expect(rim > 2 * body.width && strays == 0, path, "the rim is not on the body's edge");
    expect(alphaMismatch <= 2, path, "the white rim's shape differs from the dark rim's");
    expect(rim > 0 && darkSum / rim < 0.6, path, "the rim is not dark");
    expect(rim > 0 && whiteSum / rim > 0.85, path, "the white rim is not white");
}

// A white twinkle, mostly clear: not a blob.
void checkHighlight(const Pixels& star, const std::string& path) {
    checkSpriteFrame(star, path);
    const int c = star.width / 2;
    int covered = 0;
    for (int y = 0; y < star.height; ++y) {
        for (int x = 0; x < star.width; ++x) {
            covered += alphaAt(star, x, y) > 128;
        }
    }
    expect(alphaAt(star, c, c) == 255 && luminance(texel(star, c, c)) > 0.97, path,
           "the centre is not white");
    expect(covered < star.width * star.height / 8, path, "the twinkle covers too much");
}

void checkScreen(const Pixels& screen, const std::string& path) {
    expect(screen.width * screenHeight == screen.height * screenWidth &&
               screen.width >= screenWidth,
           path, "not the window's shape and size");
    bool opaque = true;
    for (std::size_t i = 3; i < screen.rgba.size(); i += 4) {
        opaque = opaque && screen.rgba[i] == 255;
    }
    expect(opaque, path, "has transparent texels");
}

// Every picture made at one scale. One made at 2x is the same drawing as its 1x twin with twice
// the pixels each way, so it must pass the same checks and be twice the size.
void checkAt(const std::string& dir, int scale) {
    const auto loadAt = [&](const std::string& name, Pixels& pixels) {
        const std::string path = dir + "/" + fileNameAt(name, scale);
        if (!load(path, pixels)) {
            return false;
        }
        Pixels normal;
        if (scale != kNormalPictures && readPng(dir + "/" + name, normal)) {
            expect(pixels.width == normal.width * scale && pixels.height == normal.height * scale,
                   path, "not its 1x picture's size times its scale");
        }
        return true;
    };
    for (int sides = Gem::kMinSides; sides <= Gem::kMaxSides; ++sides) {
        const std::string body = gemFileName(sides, GemLayer::Fill);
        const std::string rim = gemFileName(sides, GemLayer::Outline);
        Pixels fill;
        Pixels dark;
        Pixels white;
        if (loadAt(body, fill) && loadAt(rim, dark) &&
            loadAt(gemFileName(sides, GemLayer::OutlineWhite), white)) {
            checkBody(fill, dir + "/" + fileNameAt(body, scale));
            checkRims(fill, dark, white, dir + "/" + fileNameAt(rim, scale));
        }
    }
    Pixels picture;
    if (loadAt(highlightFileName(), picture)) {
        checkHighlight(picture, dir + "/" + fileNameAt(highlightFileName(), scale));
    }
    for (const char* path : kBackdropPicturePaths) {
        if (loadAt(fileNameAt(path, kNormalPictures), picture)) {
            checkScreen(picture, dir + "/" + fileNameAt(path, scale));
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: check_art <images-dir>\n");
        return 2;
    }
    const std::string dir = argv[1];
    for (const int scale : {kNormalPictures, kDoublePictures}) {
        checkAt(dir, scale);
    }
    if (problems == 0) {
        std::printf("check_art: the pictures in %s are fit for the game\n", dir.c_str());
    }
    return problems == 0 ? 0 : 1;
}
