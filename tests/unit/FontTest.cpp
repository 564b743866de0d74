#include "ui/Font.h"

#include "support/GlContext.h"

#include <GL/gl.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

const char* const kFontFile = "./fonts/FORTE.TTF";
const char* const kBadFontMessage =
    "FT_New_Face failed (there is probably a problem with your font file)";

std::string initError(const char* fileName) {
    try {
        Font::instance()->init(fileName, 72);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(no error)";
}

// The face rasterised straight through FreeType, as the game's font should see it, to compare the
// uploaded textures and lists with.
class ReferenceFace {
  public:
    explicit ReferenceFace(int pixelHeight = 72) {
        if (FT_Init_FreeType(&library_) == 0 && FT_New_Face(library_, kFontFile, 0, &face_) == 0) {
            FT_Set_Char_Size(face_, pixelHeight << 6, pixelHeight << 6, 96, 96);
        }
    }
    ~ReferenceFace() {
        if (face_ != nullptr) {
            FT_Done_Face(face_);
        }
        FT_Done_FreeType(library_);
    }
    bool ok() const { return face_ != nullptr; }
    // Renders code into the glyph slot and returns the slot.
    FT_GlyphSlot render(int code) {
        FT_Load_Glyph(face_, FT_Get_Char_Index(face_, static_cast<FT_ULong>(code)), FT_LOAD_RENDER);
        return face_->glyph;
    }

  private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

struct TextureImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
};

TextureImage readTexture(GLuint texture) {
    TextureImage image;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &image.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &image.height);
    image.rgba.resize(static_cast<std::size_t>(4 * image.width * image.height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    return image;
}

// Builds the game's font once for all the GL tests of this file.
struct FontTest : ::testing::Test {
    static void SetUpTestSuite() {
        if (ensureGlContext()) {
            Font::instance()->init(kFontFile, 72);
        }
    }
    void SetUp() override {
        ASSERT_TRUE(ensureGlContext());
        ASSERT_TRUE(reference.ok()) << kFontFile << " is missing";
    }

    ReferenceFace reference;
};

// One corner of a glyph's quad: position in glyph pixels and texture coordinates.
struct Corner {
    float x, y, s, t;
    bool operator<(const Corner& o) const {
        return std::tie(x, y, s, t) < std::tie(o.x, o.y, o.s, o.t);
    }
    bool operator==(const Corner& o) const { return !(*this < o) && !(o < *this); }
    friend std::ostream& operator<<(std::ostream& out, const Corner& c) {
        return out << "(" << c.x << ", " << c.y << " | " << c.s << ", " << c.t << ")";
    }
};

// The distinct corners that a glyph's list draws, read back through feedback mode with a
// projection that maps one unit to one pixel (the quad may come back as two triangles).
std::set<Corner> quadCorners(GLuint list) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1024, 0, 768, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(300.0f, 300.0f, 0.0f);
    const GLboolean culling = glIsEnabled(GL_CULL_FACE);
    glDisable(GL_CULL_FACE);
    std::vector<GLfloat> buffer(1024);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(list);
    const GLint used = glRenderMode(GL_RENDER);
    if (culling) {
        glEnable(GL_CULL_FACE);
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    // Each vertex: x, y, z, RGBA, then s, t, r, q.
    constexpr int kVertexFloats = 11;
    std::set<Corner> corners;
    for (GLint at = 0; at < used;) {
        if (buffer[at] != GL_POLYGON_TOKEN) {
            break;
        }
        const int count = static_cast<int>(buffer[at + 1]);
        at += 2;
        for (int k = 0; k < count; ++k, at += kVertexFloats) {
            corners.insert(
                {buffer[at] - 300.0f, buffer[at + 1] - 300.0f, buffer[at + 7], buffer[at + 8]});
        }
    }
    return corners;
}

float penAfter(GLuint list) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glCallList(list);
    std::array<float, 16> m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    glPopMatrix();
    return m[12];
}

} // namespace

TEST(FontSizes, NextPowerOfTwo) {
    EXPECT_EQ(nextPowerOfTwo(-5), 1);
    EXPECT_EQ(nextPowerOfTwo(0), 1);
    EXPECT_EQ(nextPowerOfTwo(1), 1);
    EXPECT_EQ(nextPowerOfTwo(2), 2);
    EXPECT_EQ(nextPowerOfTwo(3), 4);
    EXPECT_EQ(nextPowerOfTwo(64), 64);
    EXPECT_EQ(nextPowerOfTwo(65), 128);
}

TEST(FontSizes, AdvancesRoundTowardsMinusInfinity) {
    EXPECT_EQ(advanceInPixels(2432), 38.0f);
    EXPECT_EQ(advanceInPixels(63), 0.0f);
    EXPECT_EQ(advanceInPixels(-1), -1.0f);
    EXPECT_EQ(advanceInPixels(-63), -1.0f);
    EXPECT_EQ(advanceInPixels(-64), -1.0f);
    EXPECT_EQ(advanceInPixels(-65), -2.0f);
}

TEST(FontTexels, TwoBytesATexelTopRowFirstPaddedWithZeros) {
    // 3 x 2 coverage in rows of 4 bytes: the fourth byte of each row is padding.
    const std::uint8_t bitmap[] = {10, 20, 30, 0xEE, 40, 50, 60, 0xEE};
    const GlyphTexels t = glyphTexels(bitmap, 3, 2, 4);
    EXPECT_EQ(t.width, 4);
    EXPECT_EQ(t.height, 2);
    const std::vector<std::uint8_t> expected = {10, 10, 20, 20, 30, 30, 0, 0,
                                                40, 40, 50, 50, 60, 60, 0, 0};
    EXPECT_EQ(t.bytes, expected);
}

TEST(FontTexels, RowsBeyondTheBitmapAreZeroAndBottomUpBitmapsAreTurned) {
    // 1 x 3 stored bottom row first (negative pitch), widened to 1 x 4.
    const std::uint8_t bitmap[] = {3, 0xEE, 2, 0xEE, 1, 0xEE};
    const GlyphTexels t = glyphTexels(bitmap, 1, 3, -2);
    EXPECT_EQ(t.width, 1);
    EXPECT_EQ(t.height, 4);
    EXPECT_EQ(t.bytes, (std::vector<std::uint8_t>{1, 1, 2, 2, 3, 3, 0, 0}));
}

TEST(FontTexels, AnEmptyBitmapIsOneBlankTexel) {
    const GlyphTexels t = glyphTexels(nullptr, 0, 0, 0);
    EXPECT_EQ(t.width, 1);
    EXPECT_EQ(t.height, 1);
    EXPECT_EQ(t.bytes, (std::vector<std::uint8_t>{0, 0}));
}

TEST(FontErrors, AMissingFileAndAFileThatIsNotAFaceGiveTheFontFileMessage) {
    EXPECT_EQ(initError("./fonts/no-such-face.ttf"), kBadFontMessage);

    const std::string notAFace = "/tmp/hexaglint-font-not-a-face.ttf";
    {
        std::ofstream out(notAFace, std::ios::binary);
        out << "This is a text file, not a TrueType face.\n";
    }
    EXPECT_EQ(initError(notAFace.c_str()), kBadFontMessage);
    std::remove(notAFace.c_str());
    EXPECT_EQ(initError(""), kBadFontMessage);
}

TEST_F(FontTest, EveryTextureHoldsItsGlyphsCoverageInLuminanceAndAlpha) {
    const Font& font = *Font::instance();
    for (int code = 0; code < Font::kGlyphCount; ++code) {
        const FT_GlyphSlot slot = reference.render(code);
        const FT_Bitmap& bitmap = slot->bitmap;
        const int width = static_cast<int>(bitmap.width);
        const int rows = static_cast<int>(bitmap.rows);
        const TextureImage image = readTexture(font.textures[code]);
        ASSERT_EQ(image.width, nextPowerOfTwo(width)) << code;
        ASSERT_EQ(image.height, nextPowerOfTwo(rows)) << code;
        int mismatches = 0;
        for (int j = 0; j < image.height; ++j) {
            for (int i = 0; i < image.width; ++i) {
                const unsigned char expected =
                    i < width && j < rows ? bitmap.buffer[j * bitmap.pitch + i] : 0;
                const unsigned char* texel = &image.rgba[4 * (j * image.width + i)];
                mismatches += texel[0] != expected || texel[3] != expected;
            }
        }
        EXPECT_EQ(mismatches, 0) << "character " << code;
    }
}

TEST_F(FontTest, TheSpaceIsABlankTexelAndAZeroAreaQuadThatStillAdvances) {
    const Font& font = *Font::instance();
    const TextureImage image = readTexture(font.textures[' ']);
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(image.rgba[0], 0);
    EXPECT_EQ(image.rgba[3], 0);

    const float advance = static_cast<float>(reference.render(' ')->advance.x >> 6);
    EXPECT_GT(advance, 0.0f);
    EXPECT_EQ(penAfter(font.listBase + ' '), advance);
}

TEST_F(FontTest, QuadsSitOnTheBaselineAndListsMoveThePenByTheAdvance) {
    const Font& font = *Font::instance();
    // A plain capital, one with a descender and one that starts left of the pen.
    for (const int code : {'H', 'y', 'J'}) {
        const FT_GlyphSlot slot = reference.render(code);
        const float left = static_cast<float>(slot->bitmap_left);
        const float top = static_cast<float>(slot->bitmap_top);
        const float w = static_cast<float>(slot->bitmap.width);
        const float h = static_cast<float>(slot->bitmap.rows);
        const float advance = static_cast<float>(slot->advance.x >> 6);
        const float bottom = top - h;
        if (code == 'y') {
            EXPECT_LT(bottom, 0.0f) << "a descender reaches below the baseline";
        }
        if (code == 'J') {
            EXPECT_LT(left, 0.0f) << "the J starts left of the pen";
        }

        const GLuint list = font.listBase + static_cast<GLuint>(code);
        // The texture's top-left texel goes to the top-left corner, and the bitmap's part of
        // the padded texture spans the quad.
        const float s1 = w / static_cast<float>(nextPowerOfTwo(static_cast<int>(w)));
        const float t1 = h / static_cast<float>(nextPowerOfTwo(static_cast<int>(h)));
        const std::set<Corner> expected = {{left, top, 0.0f, 0.0f},
                                           {left, bottom, 0.0f, t1},
                                           {left + w, bottom, s1, t1},
                                           {left + w, top, s1, 0.0f}};
        EXPECT_EQ(quadCorners(list), expected) << static_cast<char>(code);
        EXPECT_EQ(penAfter(list), advance);
    }
}

TEST_F(FontTest, TheUploadLeavesThePixelStoreAsItFoundIt) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    Font::instance()->init(kFontFile, 72);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // Built again under the odd alignment, the glyphs are still right.
    const TextureImage image = readTexture(Font::instance()->textures['H']);
    EXPECT_EQ(image.width, nextPowerOfTwo(static_cast<int>(reference.render('H')->bitmap.width)));
}

TEST_F(FontTest, AtTwiceTheScaleGlyphsAreRasterisedTwiceAsLargeAndSetAsAtTheLayoutsOwnSize) {
    Font& font = *Font::instance();
    ReferenceFace large(144);
    font.init(kFontFile, 72, "", 2.0f);
    EXPECT_EQ(font.height, 72.0f) << "the line spacing stays the layout's";
    for (const int code : {'F', 'y', 'J', '0'}) {
        const FT_GlyphSlot slot = large.render(code);
        const float left = static_cast<float>(slot->bitmap_left) / 2;
        const float top = static_cast<float>(slot->bitmap_top) / 2;
        const float w = static_cast<float>(slot->bitmap.width) / 2;
        const float bottom = top - static_cast<float>(slot->bitmap.rows) / 2;
        const GLuint list = font.listBase + static_cast<GLuint>(code);
        EXPECT_EQ(readTexture(font.textures[code]).width,
                  nextPowerOfTwo(static_cast<int>(slot->bitmap.width)));
        // The 144-pixel bitmap spans the quad in 72-pixel units, and the pen moves as at 72.
        const std::set<Corner> corners = quadCorners(list);
        ASSERT_FALSE(corners.empty());
        constexpr float kExact = 1e-3f;
        EXPECT_NEAR(corners.begin()->x, left, kExact) << static_cast<char>(code);
        EXPECT_NEAR(corners.begin()->y, bottom, kExact) << static_cast<char>(code);
        EXPECT_NEAR(corners.rbegin()->x, left + w, kExact) << static_cast<char>(code);
        EXPECT_NEAR(corners.rbegin()->y, top, kExact) << static_cast<char>(code);
        EXPECT_EQ(penAfter(list), static_cast<float>(reference.render(code)->advance.x >> 6));
    }
    font.init(kFontFile, 72);
}
