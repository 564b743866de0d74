#include "gfx/BoardDrawing.h"

#include "app/View.h"
#include "board/Board.h"
#include "board/BoardPlane.h"
#include "board/Gem.h"
#include "board/ScreenState.h"
#include "support/GlContext.h"
#include "support/GlState.h"
#include "support/KeptBoard.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// One polygon as GL feedback reports it: window-space corners and the colour it was drawn in.
struct DrawnPolygon {
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    std::array<float, 4> colour{};
    float width() const { return maxX - minX; }
    float centreX() const { return (minX + maxX) / 2; }
    float centreY() const { return (minY + maxY) / 2; }
};

// Draws the board in feedback mode and returns its polygons in the order they were drawn.
std::vector<DrawnPolygon> drawnPolygons(const Board& board) {
    std::vector<GLfloat> buffer(200000);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    drawBoard(board);
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<DrawnPolygon> polygons;
    bool pendingHalf = false;
    for (GLint i = 0; i < used;) {
        const GLint token = static_cast<GLint>(buffer[i++]);
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const int corners = static_cast<int>(buffer[i++]);
        // A quad may come back as two triangles: the second one joins the first.
        const bool secondHalf = corners == 3 && pendingHalf;
        pendingHalf = corners == 3 && !pendingHalf;
        DrawnPolygon polygon = secondHalf ? polygons.back() : DrawnPolygon{};
        for (int c = 0; c < corners; ++c, i += 7) {
            polygon.minX = std::min(polygon.minX, buffer[i]);
            polygon.maxX = std::max(polygon.maxX, buffer[i]);
            polygon.minY = std::min(polygon.minY, buffer[i + 1]);
            polygon.maxY = std::max(polygon.maxY, buffer[i + 1]);
            std::copy(&buffer[i + 3], &buffer[i + 7], polygon.colour.begin());
        }
        if (secondHalf) {
            polygons.back() = polygon;
        } else {
            polygons.push_back(polygon);
        }
    }
    return polygons;
}

class BoardDrawingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The context comes first: the first gem built with one loads the art.
        ASSERT_TRUE(ensureGlContext());
        board = &keptBoard(7);
        View::instance()->applyTransform();
        // Calm every gem: full life, not turning, not pulsing, no sparkles, colour by a pattern.
        for (Gem* gem : board->cells) {
            gem->angle = 0.0f;
            gem->pulsing = false;
            gem->charging = false;
            gem->life = 1.0f;
            gem->sparkles.clear();
            gem->setColour(0);
        }
        screenState = Playing;
    }
    void TearDown() override { screenState = Title; }

    Board* board = nullptr;
};

constexpr float kPixelsPerUnit = static_cast<float>(BoardPlane::kPixelsPerUnit);
constexpr float kCellPixels = static_cast<float>(Board::kGemSize) * kPixelsPerUnit;

} // namespace

TEST_F(BoardDrawingTest, DrawsEveryGemAsBodyAndRimInCellOrder) {
    const std::vector<DrawnPolygon> polygons = drawnPolygons(*board);
    ASSERT_EQ(polygons.size(), 2u * Board::kCellCount);
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        const Board::Point centre = Board::cellCentre(cell);
        const float x = static_cast<float>(BoardPlane::pictureX(centre.x));
        const float y = (centre.y - static_cast<float>(BoardPlane::kBottom)) *
                        kPixelsPerUnit; // feedback y grows upwards
        for (int part = 0; part < 2; ++part) {
            const DrawnPolygon& p = polygons[2 * cell + part];
            EXPECT_NEAR(p.centreX(), x, 0.05f) << cell;
            EXPECT_NEAR(p.centreY(), y, 0.05f) << cell;
            EXPECT_NEAR(p.width(), kCellPixels, 0.05f) << cell;
        }
    }
}

TEST_F(BoardDrawingTest, PulsingGemsAreDrawnLastAndEnlargedBySpin) {
    Gem& fast = *board->cells[63];
    fast.pulsing = true;
    fast.setSpin(10.0f);
    fast.setColour(2);
    Gem& still = *board->cells[10];
    still.pulsing = true;
    still.setSpin(0.0f);
    still.setColour(3);
    // Spin alone, without pulsing, never changes a gem's size.
    board->cells[64]->setSpin(10.0f);

    const std::vector<DrawnPolygon> polygons = drawnPolygons(*board);
    ASSERT_EQ(polygons.size(), 2u * Board::kCellCount);
    // The two deferred gems come last, in cell order.
    const std::size_t first = polygons.size() - 4;
    for (std::size_t i = 0; i < first; ++i) {
        EXPECT_NEAR(polygons[i].width(), kCellPixels, 0.05f) << i;
        EXPECT_FLOAT_EQ(polygons[i].colour[0], 0.0f) << i;
    }
    EXPECT_FLOAT_EQ(polygons[first].colour[0], 1.0f);
    EXPECT_FLOAT_EQ(polygons[first].colour[2], 1.0f); // magenta: cell 10
    EXPECT_NEAR(polygons[first].width(), kCellPixels, 0.05f);
    EXPECT_FLOAT_EQ(polygons[first + 2].colour[0], 1.0f);
    EXPECT_FLOAT_EQ(polygons[first + 2].colour[2], 0.0f); // red: cell 63
    EXPECT_NEAR(polygons[first + 2].width(), kCellPixels * 1.5f, 0.05f);
    const Board::Point centre = Board::cellCentre(63);
    EXPECT_NEAR(polygons[first + 2].centreX(), BoardPlane::pictureX(centre.x), 0.05f);
}

TEST_F(BoardDrawingTest, FadingTintsTowardsGreyAndDeadGemsGetAWhiteRim) {
    Gem& half = *board->cells[0];
    half.setColour(4); // yellow
    half.life = 0.5f;
    Gem& dead = *board->cells[1];
    dead.setColour(1); // blue
    dead.life = 0.0f;
    dead.dead = true;

    const auto expectedHalf = gemDrawingColour(half);
    EXPECT_FLOAT_EQ(expectedHalf[0], 0.7f);
    EXPECT_FLOAT_EQ(expectedHalf[1], 0.7f);
    EXPECT_FLOAT_EQ(expectedHalf[2], 0.2f);

    const std::vector<DrawnPolygon> polygons = drawnPolygons(*board);
    // Cell 0: body and rim both in the halfway colour.
    for (int part = 0; part < 2; ++part) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(polygons[part].colour[c], expectedHalf[c], 1.0f / 255) << part;
        }
    }
    // Cell 1: grey body, white rim.
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(polygons[2].colour[c], kFadeGrey, 1.0f / 255);
        EXPECT_FLOAT_EQ(polygons[3].colour[c], 1.0f);
    }
}

TEST_F(BoardDrawingTest, SparklesSitInTheCellFrameAndScaleWithTheirSize) {
    Gem& gem = *board->cells[63];
    gem.angle = 30.0f;
    Sparkle sparkle;
    sparkle.x = 0.4f;
    sparkle.scale = 0.5f;
    gem.sparkles.push_back(sparkle);

    const std::vector<DrawnPolygon> polygons = drawnPolygons(*board);
    ASSERT_EQ(polygons.size(), 2u * Board::kCellCount + 1);
    // Right after cell 63's body and rim: 2 units right of the centre, 2.5 units wide, white.
    const DrawnPolygon& drawn = polygons[2 * 64];
    const Board::Point centre = Board::cellCentre(63);
    EXPECT_NEAR(drawn.centreX(), BoardPlane::pictureX(centre.x + 2.0f), 0.05f);
    EXPECT_NEAR(drawn.width(), 2.5f * kPixelsPerUnit, 0.05f);
    EXPECT_FLOAT_EQ(drawn.colour[0], 1.0f);
    EXPECT_FLOAT_EQ(drawn.colour[2], 1.0f);
}

TEST_F(BoardDrawingTest, LeavesTheStackTheStateAndTheColourAsPromised) {
    board->cells[5]->pulsing = true;
    Sparkle sparkle;
    sparkle.x = 0.4f;
    board->cells[5]->sparkles.push_back(sparkle);
    glColor4f(0.3f, 0.2f, 0.1f, 0.5f);
    const int depth = modelViewDepth();
    const auto matrix = modelViewMatrix();
    drawBoard(*board);
    EXPECT_EQ(modelViewDepth(), depth);
    EXPECT_EQ(modelViewMatrix(), matrix);
    EXPECT_FALSE(isEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(isEnabled(GL_BLEND));
    EXPECT_FALSE(isEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(currentColour(), (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
}

TEST_F(BoardDrawingTest, EndsWithTheTally) {
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        board->cells[cell]->dead = cell >= 5;
    }
    board->cells[0]->lock();
    drawBoard(*board);
    EXPECT_EQ(score, 1);
    EXPECT_EQ(screenState, GameOver);
}
