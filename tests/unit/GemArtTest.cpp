#include "gfx/GemArt.h"

#include "board/Gem.h"
#include "gfx/PngTexture.h"
#include "support/GlContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// What a slot's file shows: the alpha at its centre, and the brightness (0..1) of its opaque
// texels.
struct Look {
    unsigned centreAlpha = 0;
    double brightness = 0.0;
};

Look lookOf(int slot) {
    PngImage image;
    Look look;
    if (!decodePngFile(GemArt::path(slot), kMaxPictureSide, true, image) || image.channels != 4) {
        ADD_FAILURE() << GemArt::path(slot) << " is no picture with alpha";
        return look;
    }
    const std::size_t texels = image.pixels.size() / 4;
    const auto texel = [&](std::size_t i) { return &image.pixels[4 * i]; };
    look.centreAlpha = texel(image.height / 2 * image.width + image.width / 2)[3];
    std::size_t opaque = 0;
    for (std::size_t i = 0; i < texels; ++i) {
        if (texel(i)[3] == 255) {
            ++opaque;
            look.brightness += (texel(i)[0] + texel(i)[1] + texel(i)[2]) / 765.0;
        }
    }
    look.brightness /= opaque > 0 ? static_cast<double>(opaque) : 1.0;
    return look;
}

} // namespace

TEST(GemArt, FirstGemBuiltWithAContextLoadsAllSixteenListsInSlotOrderOnce) {
    if (!ensureGlContext()) {
        GTEST_SKIP() << "no X display";
    }
    const Gem first(6);
    const GemArt* art = gemArt();
    ASSERT_NE(art, nullptr);
    SpriteList previous = -1;
    for (int slot = 0; slot < GemArt::kSlotCount; ++slot) {
        const SpriteList list = art->slot(slot);
        EXPECT_GE(list, 0) << slot;
        EXPECT_GT(list, previous) << "slot " << slot << " was loaded out of order";
        EXPECT_EQ(glIsList(static_cast<GLuint>(list)), GL_TRUE) << slot;
        previous = list;
    }

    // More gems load nothing more.
    const GLuint probe = glGenLists(1);
    for (int sides = 5; sides <= 11; ++sides) {
        const Gem another(sides);
    }
    EXPECT_EQ(gemArt(), art);
    EXPECT_EQ(glGenLists(1), probe + 1);
    glDeleteLists(probe, 2);
}

TEST(GemArt, SlotsFollowTheShapesAndKindsOfTheFileTable) {
    if (!ensureGlContext()) {
        GTEST_SKIP() << "no X display";
    }
    const Gem gem(10);
    const GemArt& art = *gemArt();
    for (int sides = 6; sides <= 10; ++sides) {
        const int shape = sides - 6;
        EXPECT_EQ(art.fill(sides), art.slot(3 * shape));
        EXPECT_EQ(art.outline(sides), art.slot(3 * shape + 1));
        EXPECT_EQ(art.outlineWhite(sides), art.slot(3 * shape + 2));
    }
    EXPECT_EQ(art.highlight(), art.slot(15));
    EXPECT_EQ(art.fill(5), -1);
    EXPECT_EQ(art.outline(11), -1);
    EXPECT_EQ(art.outlineWhite(-1), -1);
}

// A slot given another kind's file would draw a rim over the body, or a dead gem with a dark rim:
// each shape's body is opaque at its centre, its rims hollow, the living gem's rim dark and the
// dead gem's white; the sparkle is white. (How the pictures are drawn is the art tool's check.)
TEST(GemArt, EachSlotsFileHoldsItsKindOfPicture) {
    for (int shape = 0; shape <= Gem::kMaxSides - Gem::kMinSides; ++shape) {
        const Look body = lookOf(GemArt::kKindsPerShape * shape);
        const Look rim = lookOf(GemArt::kKindsPerShape * shape + 1);
        const Look whiteRim = lookOf(GemArt::kKindsPerShape * shape + 2);
        EXPECT_EQ(body.centreAlpha, 255u) << shape;
        EXPECT_EQ(rim.centreAlpha, 0u) << shape;
        EXPECT_EQ(whiteRim.centreAlpha, 0u) << shape;
        EXPECT_LT(rim.brightness, 0.6) << shape;
        EXPECT_GT(whiteRim.brightness, 0.85) << shape;
    }
    const Look sparkle = lookOf(GemArt::kHighlightSlot);
    EXPECT_EQ(sparkle.centreAlpha, 255u);
    EXPECT_GT(sparkle.brightness, 0.85);
}

// Gems built with no window (the rules tests, the benchmarks) leave the art for later. Run in a
// fresh process of its own, where no test has made a context yet.
TEST(GemArt, GemsBuiltWithoutAContextWaitForOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            onGemBuilt = ensureGemArt;
            const Gem gem(6);
            std::exit(gemArt() == nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
