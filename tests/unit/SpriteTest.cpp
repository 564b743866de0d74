#include "gfx/Sprite.h"

#include "app/View.h"
#include "gfx/GlScope.h"
#include "gfx/PictureScale.h"
#include "support/GlContext.h"
#include "support/GlState.h"
#include "support/PngWriter.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

class SpriteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(ensureGlContext());
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        View::instance()->applyTransform();
    }

    // Draws the sprite as a square of side units centred on the middle of the window.
    static void drawCentred(SpriteList list, float side, bool textured = true) {
        MatrixScope matrix;
        glTranslatef(0.0f, 37.5f, 0.0f);
        glScalef(side, side, 1.0f);
        if (textured) {
            glEnable(GL_TEXTURE_2D);
        }
        glCallList(static_cast<GLuint>(list));
        glDisable(GL_TEXTURE_2D);
    }

    static std::string writeImage(const char* name, unsigned width, unsigned height) {
        // Top half red, bottom half blue.
        std::vector<unsigned char> pixels;
        for (unsigned y = 0; y < height; ++y) {
            for (unsigned x = 0; x < width; ++x) {
                const bool top = y < height / 2;
                pixels.insert(pixels.end(), {static_cast<unsigned char>(top ? 255 : 0), 0,
                                             static_cast<unsigned char>(top ? 0 : 255)});
            }
        }
        const std::string path = std::string("/tmp/hexaglint-sprite-") + name;
        EXPECT_TRUE(writePng(path, width, height, 3, pixels));
        return path;
    }

    // How many pixels of the middle row are not black: the drawn quad's width.
    static int litWidth() {
        std::vector<unsigned char> row(View::kWidth * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, View::kHeight / 2, View::kWidth, 1, GL_RGB, GL_UNSIGNED_BYTE, row.data());
        int lit = 0;
        for (int x = 0; x < View::kWidth; ++x) {
            lit += (row[x * 3] + row[x * 3 + 1] + row[x * 3 + 2]) > 0 ? 1 : 0;
        }
        return lit;
    }
};

} // namespace

TEST_F(SpriteTest, ShowsTheImageUprightOverTheUnitSquare) {
    const std::string path = writeImage("upright.png", 8, 8);
    SpriteList list = -1;
    int texture = -1;
    loadSprite(list, texture, path.c_str());
    std::remove(path.c_str());
    ASSERT_GE(list, 0);
    ASSERT_GT(texture, 0);

    glColor3f(1.0f, 1.0f, 1.0f);
    drawCentred(list, 40.0f);
    const auto top = readPixel(512, 384 - 150);
    const auto bottom = readPixel(512, 384 + 150);
    EXPECT_EQ(top[0], 255);
    EXPECT_EQ(top[2], 0);
    EXPECT_EQ(bottom[0], 0);
    EXPECT_EQ(bottom[2], 255);
    // 40 units at 1024 / 100 pixels a unit.
    EXPECT_NEAR(litWidth(), 410, 2);
}

TEST_F(SpriteTest, ImagesOfAnySizeMakeTheSameUnitQuad) {
    const std::string small = writeImage("small.png", 4, 2);
    const std::string large = writeImage("large.png", 64, 128);
    SpriteList smallList = -1;
    SpriteList largeList = -1;
    int texture = -1;
    loadSprite(smallList, texture, small.c_str());
    texture = -1;
    loadSprite(largeList, texture, large.c_str());
    std::remove(small.c_str());
    std::remove(large.c_str());

    glColor3f(1.0f, 1.0f, 1.0f);
    drawCentred(smallList, 30.0f);
    const int smallWidth = litWidth();
    glClear(GL_COLOR_BUFFER_BIT);
    drawCentred(largeList, 30.0f);
    EXPECT_EQ(litWidth(), smallWidth);
    EXPECT_NEAR(smallWidth, 307, 2);
}

TEST_F(SpriteTest, ABuiltSpriteIsNeverBuiltAgain) {
    const std::string path = writeImage("again.png", 4, 4);
    SpriteList list = -1;
    int texture = -1;
    loadSprite(list, texture, path.c_str());
    const SpriteList built = list;

    GLuint probe = 0;
    glGenTextures(1, &probe);
    int untouched = -1;
    loadSprite(list, untouched, path.c_str());
    EXPECT_EQ(list, built);
    EXPECT_EQ(untouched, -1) << "the texture slot must not be touched, nor the file read";
    GLuint next = 0;
    glGenTextures(1, &next);
    EXPECT_EQ(next, probe + 1) << "no texture may be created";
    EXPECT_EQ(glIsList(static_cast<GLuint>(list) + 1), GL_FALSE);
    std::remove(path.c_str());
}

TEST_F(SpriteTest, AnExistingTextureIsUsedWithoutOpeningTheFile) {
    const std::string path = writeImage("shared.png", 4, 4);
    SpriteList first = -1;
    int texture = -1;
    loadSprite(first, texture, path.c_str());
    std::remove(path.c_str());

    // The path no longer exists: the second sprite can only show the image through the name.
    SpriteList second = -1;
    int shared = texture;
    loadSprite(second, shared, path.c_str());
    EXPECT_EQ(shared, texture);
    ASSERT_GE(second, 0);
    EXPECT_NE(second, first);

    glColor3f(1.0f, 1.0f, 1.0f);
    drawCentred(second, 40.0f);
    EXPECT_EQ(readPixel(512, 384 - 150)[0], 255);
    EXPECT_EQ(readPixel(512, 384 + 150)[2], 255);
}

TEST_F(SpriteTest, MissingAndDamagedFilesStillGiveAPlainSquare) {
    const std::string damaged = "/tmp/hexaglint-sprite-damaged.png";
    const std::string good = writeImage("good.png", 16, 16);
    std::vector<unsigned char> bytes = readBytes(good);
    bytes.resize(bytes.size() / 2);
    ASSERT_TRUE(writeBytes(damaged, bytes));
    std::remove(good.c_str());

    for (const std::string& path : {std::string("./images/NoSuchImage.png"), damaged}) {
        SpriteList list = -1;
        int texture = -1;
        loadSprite(list, texture, path.c_str());
        EXPECT_EQ(texture, 0) << path;
        ASSERT_GE(list, 0) << path;

        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(0.0f, 1.0f, 0.0f);
        drawCentred(list, 20.0f);
        const auto centre = readPixel(512, 384);
        EXPECT_EQ(centre[0], 0) << path;
        EXPECT_EQ(centre[1], 255) << path;
        EXPECT_NEAR(litWidth(), 205, 2) << path;
    }
    std::remove(damaged.c_str());
    glColor3f(1.0f, 1.0f, 1.0f);
}

TEST_F(SpriteTest, AScaledSpriteShowsItsScalesFileAndFallsBackQuietlyToThe1xFile) {
    const std::string normal = writeImage("scaled.png", 4, 2);
    const std::string twice = scaledPicturePath(normal, kDoublePictures);
    const auto widthShown = [&normal](int scale) {
        SpriteList list = -1;
        loadScaledSprite(list, normal.c_str(), scale);
        glCallList(static_cast<GLuint>(list)); // binds the sprite's texture
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        return width;
    };
    EXPECT_EQ(widthShown(kDoublePictures), 4) << "no 2x file";
    ASSERT_EQ(writeImage("scaled@2x.png", 8, 4), twice);
    EXPECT_EQ(widthShown(kDoublePictures), 8);
    EXPECT_EQ(widthShown(kNormalPictures), 4);
    std::vector<unsigned char> bytes = readBytes(twice);
    bytes.resize(bytes.size() / 2);
    ASSERT_TRUE(writeBytes(twice, bytes));
    EXPECT_EQ(widthShown(kDoublePictures), 4) << "a damaged 2x file";
    std::remove(twice.c_str());
    std::remove(normal.c_str());
}

TEST_F(SpriteTest, ADrawingScopeEndsInTheStateEveryOtherDrawStartsFrom) {
    {
        SpriteDrawingScope scope;
        EXPECT_TRUE(isEnabled(GL_TEXTURE_2D) && isEnabled(GL_BLEND) && isEnabled(GL_ALPHA_TEST));
        glColor4f(0.2f, 0.4f, 0.6f, 0.5f); // a gem's fading tint
    }
    EXPECT_FALSE(isEnabled(GL_TEXTURE_2D) || isEnabled(GL_BLEND) || isEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(currentColour(), (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
}
