// Writes the game's pictures: gem bodies and rims, the sparkle, the background and the two
// full-screen cards. Usage: make_art <images-dir> [--preview <board-preview.png>]

#include "art/Canvas.h"
#include "art/GemPainter.h"
#include "art/Preview.h"
#include "art/Screens.h"
#include "art/Typefaces.h"
#include "board/Gem.h"

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

bool writeAll(const std::string& dir) {
    Canvas gem(gemImageSize, gemImageSize);
    for (int sides = Gem::kMinSides; sides <= Gem::kMaxSides; ++sides) {
        const GemPainter painter(sides, gemImageSize);
        for (const GemLayer layer : kGemLayers) {
            painter.paint(gem, layer);
            if (!save(gem, dir + "/" + gemFileName(sides, layer), true)) {
                return false;
            }
        }
    }
    paintTwinkle(gem);
    if (!save(gem, dir + "/" + highlightFileName(), true)) {
        return false;
    }

    const Typefaces faces;
    Canvas background(screenWidth, screenHeight);
    paintBackground(background);
    Canvas title(screenWidth, screenHeight);
    paintTitle(title, faces);
    Canvas instructions(screenWidth, screenHeight);
    paintInstructions(instructions, faces);
    return save(background, dir + "/background.png", false) &&
           save(title, dir + "/titlescreen.png", false) &&
           save(instructions, dir + "/instructions.png", false);
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
