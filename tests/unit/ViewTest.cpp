#include "app/View.h"

#include "support/GlContext.h"
#include "support/GlState.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>

namespace {

std::array<GLint, 4> viewport() {
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

// Where the board-plane point (x, y, 0) lands in the window, y counted from the top.
std::array<double, 2> project(double x, double y) {
    std::array<double, 16> model{};
    std::array<double, 16> projection{};
    glGetDoublev(GL_MODELVIEW_MATRIX, model.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    const auto v = viewport();
    double wx = 0.0;
    double wy = 0.0;
    double wz = 0.0;
    gluProject(x, y, 0.0, model.data(), projection.data(), v.data(), &wx, &wy, &wz);
    return {wx, v[3] - wy};
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

TEST(View, AnyOtherSizeOnlyClearsAndAsksForTheFixedOne) {
    ASSERT_TRUE(ensureGlContext());
    View* view = View::instance();
    view->reshape(1024, 768);
    const auto matrixBefore = modelViewMatrix();

    // Something else on the model-view matrix, which a refused reshape must leave alone.
    glTranslatef(3.0f, 4.0f, 5.0f);
    const auto moved = modelViewMatrix();
    for (const auto& size : {std::array<int, 2>{800, 600}, {1920, 1080}, {0, 0}, {1024, 767}}) {
        view->reshape(size[0], size[1]);
        EXPECT_EQ(view->width(), 1024);
        EXPECT_EQ(view->height(), 768);
        EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1024, 768}));
        EXPECT_EQ(modelViewMatrix(), moved);
    }

    // The right size sets the camera again, however often it comes.
    view->reshape(1024, 768);
    EXPECT_EQ(modelViewMatrix(), matrixBefore);
    view->reshape(1024, 768);
    EXPECT_EQ(modelViewMatrix(), matrixBefore);
}

TEST(View, ApplyTransformLoadsTheCameraAndUpdateDoesNothing) {
    ASSERT_TRUE(ensureGlContext());
    View* view = View::instance();
    view->reshape(1024, 768);
    const auto camera = modelViewMatrix();
    glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
    view->update(1.0f);
    view->applyTransform();
    EXPECT_EQ(modelViewMatrix(), camera);
}
