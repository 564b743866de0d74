#pragma once
// A TrueType face rasterised once into 128 glyph textures and display lists, so that a line of
// ASCII text is drawn by calling the lists by byte value.

#include <GL/gl.h>

#include <cstdint>
#include <vector>

typedef struct FT_FaceRec_* FT_Face;

// One glyph's texture: the coverage bitmap widened to powers of two, two bytes a texel
// (luminance, alpha), rows packed tight, top row first.
struct GlyphTexels {
    int width = 1;
    int height = 1;
    std::vector<std::uint8_t> bytes;
};

// Converts a coverage bitmap as the rasteriser hands it over. pitch is the distance between the
// starts of two rows in bytes, which may exceed width; a negative pitch means the rows run bottom
// up in memory. Texels outside the bitmap are 0.
GlyphTexels glyphTexels(const std::uint8_t* buffer, int width, int rows, int pitch);

// The smallest power of two that is at least n; 1 for n <= 1.
int nextPowerOfTwo(int n);

// A 26.6 fixed-point distance in whole pixels, rounded towards minus infinity.
float advanceInPixels(long advance);

class Font {
  public:
    static constexpr int kGlyphCount = 128;

    static Font* instance();

    // The reason init gives for any fault of the face file: missing, refused by openDataFile,
    // not a face, damaged, or unable to draw a character it must.
    static constexpr const char* kFileError =
        "FT_New_Face failed (there is probably a problem with your font file)";

    // Rasterises the face in the file at the given pixel height into 128 textures and lists.
    // The lists draw in pixels of that height (layout pixels); with a glyphScale other than 1
    // the textures are rasterised at glyphScale times that height, for text that a larger
    // window shows larger, and the lists place them and move the pen exactly as at 1. Every
    // character of mustDraw has to be in the face and, unless it is a space, to draw some
    // pixels: a damaged face can open and still come out blank. Throws std::runtime_error with
    // kFileError for a fault of the file, and another reason when FreeType cannot start. Needs a
    // current GL context. A second call releases the first call's textures and lists.
    void init(const char* fileName, std::uint32_t pixelHeight, const char* mustDraw = "",
              float glyphScale = 1.0f);

    // The pixel height given to init; the text printer derives its line spacing from it.
    float height = 0.0f;
    // The glyph textures' texels to a layout pixel, as given to init.
    float scale = 1.0f;
    // kGlyphCount texture names; entry k is the texture of character code k.
    GLuint* textures = nullptr;
    // List listBase + k draws character code k and moves the pen past it.
    GLuint listBase = 0;

  private:
    Font() = default;
};

// One character as the rasteriser leaves it: the texels to upload, and the bitmap's size and
// place relative to the pen, in glyph pixels.
struct GlyphRaster {
    GlyphTexels texels;
    int width = 0;
    int rows = 0;
    int left = 0;     // from the pen to the bitmap's left edge
    int top = 0;      // from the baseline up to the bitmap's top row
    long advance = 0; // pen movement in 26.6 fixed point
};

// Loads and renders one character of the open face into 8-bit coverage, embedded 1-, 2- and
// 4-bit bitmaps included. Throws std::runtime_error when FreeType cannot load the glyph. A glyph
// that cannot be rendered, or is absurdly large (over 4096 pixels a side), comes back blank (no
// bitmap) but keeps its advance. No GL: this is the part of building a glyph that reads the face
// file's contents, so it is what the fuzz target drives with arbitrary faces.
GlyphRaster rasteriseGlyph(FT_Face face, char code);

// Builds one character's texture and display list from its raster; whether it drew any pixels.
// The list draws in layout pixels: the raster's pixels are 1 / rasterScale of them, and the pen
// moves by layoutAdvance (26.6 fixed point, at the layout's size). Used by Font::init alone.
bool buildGlyph(const GlyphRaster& glyph, float rasterScale, long layoutAdvance, char code,
                GLuint listBase, GLuint* textures);
