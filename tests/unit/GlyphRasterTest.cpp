#include "ui/Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// A face opened from bytes in memory and sized as the font sizes the game's face (72 points at
// 96 dots per inch: 96 pixels to the em).
class MemoryFace {
  public:
    explicit MemoryFace(std::string bytes, FT_F26Dot6 points = 72) : bytes_(std::move(bytes)) {
        if (FT_Init_FreeType(&library_) != 0 ||
            FT_New_Memory_Face(library_, reinterpret_cast<const FT_Byte*>(bytes_.data()),
                               static_cast<FT_Long>(bytes_.size()), 0, &face_) != 0) {
            face_ = nullptr;
            return;
        }
        FT_Set_Char_Size(face_, points << 6, points << 6, 96, 96);
    }
    ~MemoryFace() {
        if (face_ != nullptr) {
            FT_Done_Face(face_);
        }
        if (library_ != nullptr) {
            FT_Done_FreeType(library_);
        }
    }
    MemoryFace(const MemoryFace&) = delete;
    MemoryFace& operator=(const MemoryFace&) = delete;

    FT_Face face() const { return face_; }
    // Takes the named renderer ("smooth" draws outlines in grey) out of this face's library.
    bool removeRenderer(const char* name) {
        const FT_Module renderer = FT_Get_Module(library_, name);
        return renderer != nullptr && FT_Remove_Module(library_, renderer) == 0;
    }

  private:
    std::string bytes_;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// A BDF face with one 96-pixel strike, so that the game's size picks it, holding one character:
// 'A', 9 x 4 pixels at the given bits per pixel, drawn by the hexadecimal rows given (no rows:
// no bitmap at all).
std::string strikeFace(int bitsPerPixel, const std::vector<std::string>& rows) {
    std::string bdf = "STARTFONT 2.1\n"
                      "FONT -test-strike-medium-r-normal--96-720-96-96-p-90-iso10646-1\n"
                      "SIZE 72 96 96 " +
                      std::to_string(bitsPerPixel) +
                      "\n"
                      "FONTBOUNDINGBOX 9 4 0 0\n"
                      "STARTPROPERTIES 3\nPIXEL_SIZE 96\nFONT_ASCENT 4\nFONT_DESCENT 0\n"
                      "ENDPROPERTIES\nCHARS 1\n"
                      "STARTCHAR A\nENCODING 65\nSWIDTH 500 0\nDWIDTH 48 0\nBBX 9 4 0 0\n";
    if (!rows.empty()) {
        bdf += "BITMAP\n";
    }
    for (const std::string& row : rows) {
        bdf += row + "\n";
    }
    return bdf + "ENDCHAR\nENDFONT\n";
}

// The game's face, from the data folder the tests run in.
std::string readFace() {
    std::ifstream in("./fonts/FORTE.TTF", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The luminance bytes of one texel row, as far as the bitmap reaches.
std::vector<int> luminanceRow(const GlyphRaster& glyph, int row) {
    std::vector<int> values;
    for (int i = 0; i < glyph.width; ++i) {
        values.push_back(glyph.texels.bytes[2 * (row * glyph.texels.width + i)]);
    }
    return values;
}

} // namespace

TEST(GlyphRaster, OneBitStrikesAreWidenedToFullCoverage) {
    // A frame: the rows are two bytes apart in memory (9 bits each), not nine.
    MemoryFace strike(strikeFace(1, {"FF80", "8080", "8080", "FF80"}));
    ASSERT_NE(strike.face(), nullptr);
    const GlyphRaster glyph = rasteriseGlyph(strike.face(), 'A');
    ASSERT_EQ(glyph.width, 9);
    ASSERT_EQ(glyph.rows, 4);
    EXPECT_EQ(glyph.texels.width, 16);
    EXPECT_EQ(glyph.texels.height, 4);
    EXPECT_EQ(glyph.advance, 48 * 64);
    const std::vector<int> full(9, 255);
    const std::vector<int> sides = {255, 0, 0, 0, 0, 0, 0, 0, 255};
    EXPECT_EQ(luminanceRow(glyph, 0), full);
    EXPECT_EQ(luminanceRow(glyph, 1), sides);
    EXPECT_EQ(luminanceRow(glyph, 2), sides);
    EXPECT_EQ(luminanceRow(glyph, 3), full);
    for (std::size_t k = 0; k < glyph.texels.bytes.size(); k += 2) {
        EXPECT_EQ(glyph.texels.bytes[k], glyph.texels.bytes[k + 1]) << "texel " << k / 2;
    }
}

TEST(GlyphRaster, TwoBitStrikesStretchTheirFourLevelsOverTheWholeRange) {
    // Levels 0, 1, 2, 3, 3, 2, 1, 0, 3 on every row (two bits a pixel, padded to a byte).
    MemoryFace strike(strikeFace(2, {"1BE4C0", "1BE4C0", "1BE4C0", "1BE4C0"}));
    ASSERT_NE(strike.face(), nullptr);
    const GlyphRaster glyph = rasteriseGlyph(strike.face(), 'A');
    ASSERT_EQ(glyph.width, 9);
    ASSERT_EQ(glyph.rows, 4);
    const std::vector<int> expected = {0, 85, 170, 255, 255, 170, 85, 0, 255};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(luminanceRow(glyph, row), expected) << "row " << row;
    }
}

TEST(GlyphRaster, AStrikeGlyphWithASizeButNoPixelsIsBlankButStillAdvances) {
    MemoryFace strike(strikeFace(1, {}));
    ASSERT_NE(strike.face(), nullptr);
    const GlyphRaster glyph = rasteriseGlyph(strike.face(), 'A');
    EXPECT_EQ(glyph.width, 0);
    EXPECT_EQ(glyph.rows, 0);
    EXPECT_EQ(glyph.texels.bytes, (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(glyph.advance, 48 * 64);
}

TEST(GlyphRaster, GlyphsTooLargeOrUnrenderableAreBlankButStillAdvance) {
    const std::string face = readFace();
    ASSERT_FALSE(face.empty());

    // 5000 points: the H alone would be a bitmap of some 4600 x 5100 pixels.
    MemoryFace huge(face, 5000);
    ASSERT_NE(huge.face(), nullptr);
    const GlyphRaster big = rasteriseGlyph(huge.face(), 'H');
    EXPECT_EQ(big.width, 0);
    EXPECT_EQ(big.rows, 0);
    EXPECT_EQ(big.texels.bytes, (std::vector<std::uint8_t>{0, 0}));
    EXPECT_GT(big.advance, 0);

    // Without a renderer for outlines the conversion fails and leaves the glyph an outline,
    // which must not be read as a bitmap.
    MemoryFace plain(face);
    ASSERT_NE(plain.face(), nullptr);
    const GlyphRaster drawn = rasteriseGlyph(plain.face(), 'H');
    ASSERT_GT(drawn.width, 0);
    MemoryFace unrendered(face);
    ASSERT_NE(unrendered.face(), nullptr);
    ASSERT_TRUE(unrendered.removeRenderer("smooth"));
    const GlyphRaster outline = rasteriseGlyph(unrendered.face(), 'H');
    EXPECT_EQ(outline.width, 0);
    EXPECT_EQ(outline.rows, 0);
    EXPECT_EQ(outline.texels.bytes, (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(outline.advance, drawn.advance);

    // An ordinary glyph moved 40,000 pixels away: FreeType before 2.14 cannot render it there
    // and leaves an outline, later ones render it in place. Either answer is whole, and the
    // advance holds.
    MemoryFace far(face);
    ASSERT_NE(far.face(), nullptr);
    FT_Vector delta{40000 * 64, 0};
    FT_Set_Transform(far.face(), nullptr, &delta);
    const GlyphRaster away = rasteriseGlyph(far.face(), 'H');
    EXPECT_EQ(away.advance, drawn.advance);
    if (away.width == 0) {
        EXPECT_EQ(away.rows, 0);
        EXPECT_EQ(away.texels.bytes, (std::vector<std::uint8_t>{0, 0}));
    } else {
        EXPECT_EQ(away.left, drawn.left + 40000);
        EXPECT_EQ(away.width, drawn.width);
        EXPECT_EQ(away.rows, drawn.rows);
        EXPECT_EQ(away.texels.bytes, drawn.texels.bytes);
    }
}
