#pragma once
// The one shared set of gem pictures: for each of the five shapes a body, a rim and a white rim
// (for a dead gem), plus the sparkle. Every gem is drawn from these lists.

#include "board/Gem.h"
#include "gfx/GemPictures.h"
#include "gfx/PictureScale.h"
#include "gfx/Sprite.h"

class GemArt {
  public:
    static constexpr int kKindsPerShape = kGemPictureKinds;
    // The shapes' pictures, then the sparkle.
    static constexpr int kHighlightSlot = Gem::kShapeCount * kKindsPerShape;
    static constexpr int kSlotCount = kGemPictureCount;

    // Loads all 16 images in slot order, made at pictureScale (gfx/PictureScale.h), each from its
    // 1x file where its file at that scale cannot be read; needs a current GL context. An image
    // that cannot be read at all still gets a list, which draws a plain square.
    explicit GemArt(int pictureScale = kNormalPictures);
    GemArt(const GemArt&) = delete;
    GemArt& operator=(const GemArt&) = delete;

    // The file each slot is loaded from: (side count - Gem::kMinSides) × kKindsPerShape + kind
    // (fill, outline, white outline), then the sparkle.
    static const char* path(int slot) { return kGemPicturePaths[slot]; }

    SpriteList slot(int index) const { return slots_[index]; }
    // The body, rim and white rim of a gem with this many sides; -1 for a count outside
    // Gem::kMinSides..kMaxSides.
    SpriteList fill(int sides) const { return shapeSlot(sides, 0); }
    SpriteList outline(int sides) const { return shapeSlot(sides, 1); }
    SpriteList outlineWhite(int sides) const { return shapeSlot(sides, 2); }
    SpriteList highlight() const { return slots_[kHighlightSlot]; }

  private:
    SpriteList shapeSlot(int sides, int kind) const;

    SpriteList slots_[kSlotCount];
};

// Loads the shared art on the first call made with a current GL context, at the scale last given
// to useGemArtScale (1x until then); later calls do nothing. The game installs it as the rules'
// onGemBuilt, so every gem calls it as it is built.
void ensureGemArt();
// The scale of the pictures ensureGemArt loads; the game names its own before the first gem.
void useGemArtScale(int pictureScale);

// The shared art, or null while it has not been loaded.
const GemArt* gemArt();
