#include "gfx/GemArt.h"

#include <GL/freeglut.h>

namespace {

// Created once and kept until the process ends, with its textures and lists.
GemArt* sharedArt = nullptr;
int sharedArtScale = kNormalPictures;

} // namespace

GemArt::GemArt(int pictureScale) {
    for (SpriteList& list : slots_) {
        list = -1;
    }
    for (int i = 0; i < kSlotCount; ++i) {
        // Each image gets a texture of its own; only the list id is kept.
        loadScaledSprite(slots_[i], path(i), pictureScale);
    }
}

SpriteList GemArt::shapeSlot(int sides, int kind) const {
    if (sides < Gem::kMinSides || sides > Gem::kMaxSides) {
        return -1;
    }
    return slots_[kKindsPerShape * (sides - Gem::kMinSides) + kind];
}

void ensureGemArt() {
    if (sharedArt != nullptr) {
        return;
    }
    // In the game the first gem is built during start-up, with the window's context current.
    // Gems are also built with no window at all (the rules tests, the benchmarks); display lists
    // cannot be made there, so the art waits for the first gem built with a context: the toolkit's
    // current window's. (The toolkit answers GLUT_INIT_STATE before it is initialised too.)
    if (glutGet(GLUT_INIT_STATE) == 0 || glutGetWindow() == 0) {
        return;
    }
    sharedArt = new GemArt(sharedArtScale);
}

void useGemArtScale(int pictureScale) {
    sharedArtScale = pictureScale;
}

const GemArt* gemArt() {
    return sharedArt;
}
