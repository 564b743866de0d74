#include "gfx/GemArt.h"

#include "board/Gem.h"
#include "support/GlContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

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
    EXPECT_EQ(std::string(GemArt::path(0)), "./images/HexJemFill.png");
    EXPECT_EQ(std::string(GemArt::path(4)), "./images/HeptJemOutline.png");
    EXPECT_EQ(std::string(GemArt::path(8)), "./images/OctJemOutlineWhite.png");
    EXPECT_EQ(std::string(GemArt::path(9)), "./images/NonaJemFill.png");
    EXPECT_EQ(std::string(GemArt::path(14)), "./images/DecJemOutlineWhite.png");
    EXPECT_EQ(std::string(GemArt::path(15)), "./images/Highlight.png");

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

TEST(GemArt, GemsBuiltWithoutAContextWaitForOne) {
    // Run first in its own process (as ctest does), no context exists yet.
    if (gemArt() != nullptr) {
        GTEST_SKIP() << "art already loaded by an earlier test in this process";
    }
    onGemBuilt = ensureGemArt;
    const Gem gem(6);
    EXPECT_EQ(gemArt(), nullptr);
}
