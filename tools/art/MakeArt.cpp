// Writes the game's pictures: gem bodies and rims, the sparkle, the background and the two
// full-screen cards, each for the picture's own size and for twice that (HiDPI windows).
// Usage: make_art <images-dir> [--preview <board-preview.png>]

#include "art/Canvas.h"
#include "art/GemPainter.h"
#include "art/Preview.h"
#include "art/Screens.h"
#include "art/Typefaces.h"
#include "board/Gem.h"
#include "gfx/PictureScale.h"
#include "ui/BackdropPictures.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

// A gem is drawn about 51 pixels wide (77 when it pulses), and only the base level is sampled:
// at 64 texels a gem keeps its facets steady while it turns and looks as it did at 128, while
// the software renderer reads a quarter of the texture memory for each of the 254 gem quads of
// a frame and the pictures load faster.
constexpr int gemImageSize = 64;

bool save(const Canvas& canvas, const std::string& path, bool withAlpha) {
    if (!writePng(toPixels(canvas), path, withAlpha)) {
        std::fprintf(stderr, "make_art: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s\n", path.c_str());
    return true;
}

std::string fileAt(const std::string& dir, const std::string& path, int scale) {
    return dir + "/" + fileNameAt(path, scale);
}

// Every picture at one scale: the same drawings, in the same units, at scale pixels a unit.
bool writeAt(const std::string& dir, int scale, const Typefaces& faces) {
    Canvas gem(gemImageSize, gemImageSize, scale);
    for (int sides = Gem::kMinSides; sides <= Gem::kMaxSides; ++sides) {
        const GemPainter painter(sides, gemImageSize);
        for (const GemLayer layer : kGemLayers) {
            painter.paint(gem, layer);
            if (!save(gem, fileAt(dir, gemFileName(sides, layer), scale), true)) {
                return false;
            }
        }
    }
    paintTwinkle(gem);
    if (!save(gem, fileAt(dir, highlightFileName(), scale), true)) {
        return false;
    }

    Canvas background(screenWidth, screenHeight, scale);
    paintBackground(background);
    Canvas title(screenWidth, screenHeight, scale);
    paintTitle(title, faces);
    Canvas instructions(screenWidth, screenHeight, scale);
    paintInstructions(instructions, faces);
    return save(background, fileAt(dir, kBackdropPicturePaths[0], scale), false) &&
           save(title, fileAt(dir, kBackdropPicturePaths[1], scale), false) &&
           save(instructions, fileAt(dir, kBackdropPicturePaths[2], scale), false);
}

bool writeAll(const std::string& dir) {
    const Typefaces faces;
    return writeAt(dir, kNormalPictures, faces) && writeAt(dir, kDoublePictures, faces);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--preview") == 0)) {
        std::fprintf(stderr, "usage: make_art <images-dir> [--preview <file.png>]\n");
        return 2;
    }
    try {
        if (!writeAll(argv[1])) {
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_art: %s\n", e.what());
        return 1;
    }
    if (argc == 4) {
        if (!writeBoardPreview(argv[1], argv[3])) {
            std::fprintf(stderr, "make_art: cannot write the preview %s\n", argv[3]);
            return 1;
        }
        std::printf("wrote %s\n", argv[3]);
    }
    return 0;
}
