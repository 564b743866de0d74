#include "ui/Backdrop.h"

#include "app/View.h"
#include "board/BoardPlane.h"
#include "support/GlContext.h"
#include "support/GlState.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

class BackdropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(ensureGlContext());
        backdrop->load();
        View::instance()->applyTransform();
        glEnable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override { stretchOverThePlane(); }
    // The rectangle the game stretches its backdrops over.
    void stretchOverThePlane() const {
        backdrop->setBounds(BoardPlane::kTop, BoardPlane::kRight, BoardPlane::kBottom,
                            BoardPlane::kLeft);
    }

    Backdrop* backdrop = Backdrop::instance();
};

} // namespace

// The order of setBounds' edges shows in TheImagesFillTheWholeWindow.
TEST_F(BackdropTest, LoadsOnce) {
    const SpriteList lists[] = {backdrop->backgroundList(), backdrop->titleList(),
                                backdrop->instructionsList()};
    for (SpriteList list : lists) {
        EXPECT_GE(list, 0);
    }
    backdrop->load();
    EXPECT_EQ(backdrop->backgroundList(), lists[0]);
    EXPECT_EQ(backdrop->titleList(), lists[1]);
    EXPECT_EQ(backdrop->instructionsList(), lists[2]);
}

TEST_F(BackdropTest, BackgroundLeavesBlendingAlphaTestAndTexturingOff) {
    stretchOverThePlane();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    const int depth = modelViewDepth();
    const auto matrix = modelViewMatrix();

    backdrop->drawBackground(0.016f);
    EXPECT_FALSE(isEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(isEnabled(GL_BLEND));
    EXPECT_FALSE(isEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(currentColour(), (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(modelViewDepth(), depth);
    EXPECT_EQ(modelViewMatrix(), matrix);
    EXPECT_TRUE(isEnabled(GL_CULL_FACE));
}

TEST_F(BackdropTest, StillScreensLeaveBlendingAndAlphaTestAsTheyWere) {
    stretchOverThePlane();
    for (bool on : {false, true}) {
        for (int screen = 0; screen < 2; ++screen) {
            on ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
            on ? glEnable(GL_ALPHA_TEST) : glDisable(GL_ALPHA_TEST);
            glEnable(GL_TEXTURE_2D);
            glColor4f(0.5f, 0.5f, 0.5f, 0.5f);
            screen == 0 ? backdrop->drawTitle() : backdrop->drawInstructions();
            EXPECT_FALSE(isEnabled(GL_TEXTURE_2D));
            EXPECT_EQ(isEnabled(GL_BLEND), on);
            EXPECT_EQ(isEnabled(GL_ALPHA_TEST), on);
            EXPECT_EQ(currentColour(), (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
        }
    }
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
}

TEST_F(BackdropTest, TheImagesFillTheWholeWindow) {
    stretchOverThePlane();
    backdrop->drawTitle();
    // Whatever the picture, nothing of the black clear colour is left at the corners.
    for (const auto& [x, y] : {std::pair{1, 1}, {1022, 1}, {1, 766}, {1022, 766}, {512, 384}}) {
        const auto p = readPixel(x, y);
        EXPECT_GT(p[0] + p[1] + p[2], 0) << x << ", " << y;
    }
}

TEST_F(BackdropTest, SwappedEdgesDrawTheSamePictureAndSizesAreWholeUnits) {
    stretchOverThePlane();
    backdrop->drawTitle();
    const auto straight = std::array{readPixel(100, 100), readPixel(900, 650)};

    glClear(GL_COLOR_BUFFER_BIT);
    // Left and right swapped, and bottom and top: still front-facing under culling, not mirrored.
    backdrop->setBounds(0.0, -50.0, 75.0, 50.0);
    backdrop->drawTitle();
    EXPECT_EQ(readPixel(100, 100), straight[0]);
    EXPECT_EQ(readPixel(900, 650), straight[1]);

    // 0.6 units wide is cut to nothing.
    glClear(GL_COLOR_BUFFER_BIT);
    backdrop->setBounds(75.0, 0.3, 0.0, -0.3);
    backdrop->drawTitle();
    const auto centre = readPixel(512, 384);
    EXPECT_EQ(centre[0] + centre[1] + centre[2], 0);
}
