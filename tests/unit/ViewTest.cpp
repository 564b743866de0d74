#include "app/View.h"

#include "app/Mouse.h"
#include "board/Board.h"

#include "support/GlContext.h"
#include "support/GlState.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace {

std::array<GLint, 4> viewport() {
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

// Where the board-plane point (x, y, 0) lands in a window of this height, y counted from the top.
std::array<double, 2> project(double x, double y, int windowHeight = View::kHeight) {
    std::array<double, 16> model{};
    std::array<double, 16> projection{};
    glGetDoublev(GL_MODELVIEW_MATRIX, model.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    const auto v = viewport();
    double wx = 0.0;
    double wy = 0.0;
    double wz = 0.0;
    gluProject(x, y, 0.0, model.data(), projection.data(), v.data(), &wx, &wy, &wz);
    return {wx, windowHeight - wy};
}

} // namespace

TEST(View, TheWindowShowsExactlyTheBoardRectangle) {
    ASSERT_TRUE(ensureGlContext());
    View::instance()->reshape(1024, 768);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1024, 768}));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    const auto centre = project(0.0, 37.5);
    EXPECT_NEAR(centre[0], 512.0, 1e-3);
    EXPECT_NEAR(centre[1], 384.0, 1e-3);
    const auto topLeft = project(-50.0, 75.0);
    EXPECT_NEAR(topLeft[0], 0.0, 1e-3);
    EXPECT_NEAR(topLeft[1], 0.0, 1e-3);
    const auto bottomRight = project(50.0, 0.0);
    EXPECT_NEAR(bottomRight[0], 1024.0, 1e-3);
    EXPECT_NEAR(bottomRight[1], 768.0, 1e-3);
}

TEST(View, AnImposedSizeShowsTheWholePictureScaledAndCentredAndThePointerFollowsIt) {
    ASSERT_TRUE(ensureGlContext());
    View* view = View::instance();
    view->reshape(1024, 768);
    const auto camera = modelViewMatrix();

    // A fullscreen window on a 5:4 screen: bars above and below, the picture as wide as the screen.
    view->reshape(1280, 1024);
    EXPECT_EQ(view->width(), 1024);
    EXPECT_EQ(view->height(), 768);
    EXPECT_FALSE(view->fillsWindow());
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 32, 1280, 960}));
    EXPECT_EQ(modelViewMatrix(), camera);
    // A tiled window wider than 4:3: bars left and right.
    view->reshape(1276, 600);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{238, 0, 800, 600}));

    // Where a point is drawn is where the pointer finds it, with bars above and below and with
    // bars at the sides: two units off a cell's centre, where a pointer mapping that forgot the
    // picture's offset or its scale would land elsewhere, though perhaps in the same cell.
    Mouse* mouse = Mouse::instance();
    for (const auto& [w, h] : {std::pair{1280, 1024}, std::pair{1276, 600}}) {
        view->reshape(w, h);
        for (int cell : {0, 63, 126}) {
            const Board::Point c = Board::cellCentre(cell);
            for (const auto& [dx, dy] : {std::pair{2.0, 0.0}, std::pair{0.0, -2.0}}) {
                const auto drawn = project(c.x + dx, c.y + dy, h);
                mouse->track(drawn[0], drawn[1]);
                EXPECT_NEAR(mouse->worldX(), c.x + dx, 1e-3) << w << "x" << h << " cell " << cell;
                EXPECT_NEAR(mouse->worldY(), c.y + dy, 1e-3) << w << "x" << h << " cell " << cell;
            }
        }
    }
    // A pointer in a bar is held at the picture's edge.
    mouse->track(100, 300);
    EXPECT_FLOAT_EQ(mouse->worldX(), -50.0f);

    // The bars are cleared black, the picture to the standing clear colour, which stays.
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    view->clear();
    std::array<unsigned char, 3> bar{};
    std::array<unsigned char, 3> picture{};
    glReadBuffer(GL_BACK);
    glReadPixels(100, 300, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, bar.data());
    glReadPixels(640, 300, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, picture.data());
    EXPECT_EQ(bar, (std::array<unsigned char, 3>{0, 0, 0}));
    EXPECT_EQ(picture, (std::array<unsigned char, 3>{255, 255, 255}));
    std::array<float, 4> clearColour{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour.data());
    EXPECT_EQ(clearColour, (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));

    // A window with no area changes nothing; the fixed size brings back the plain camera.
    view->reshape(0, 0);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{238, 0, 800, 600}));
    view->reshape(1024, 768);
    EXPECT_TRUE(view->fillsWindow());
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1024, 768}));
    EXPECT_EQ(modelViewMatrix(), camera);
}

TEST(View, ApplyTransformLoadsTheCamera) {
    ASSERT_TRUE(ensureGlContext());
    View* view = View::instance();
    view->reshape(1024, 768);
    const auto camera = modelViewMatrix();
    glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
    view->applyTransform();
    EXPECT_EQ(modelViewMatrix(), camera);
}
