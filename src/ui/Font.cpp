#include "ui/Font.h"

#include "files/DataFile.h"
#include "gfx/GlScope.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_GLYPH_H

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

// Closes the FreeType library and face when init leaves, by return or by throw: they are only
// needed while the glyphs are being built.
class FreeTypeSession {
  public:
    FreeTypeSession() = default;
    ~FreeTypeSession() {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
    }
    FreeTypeSession(const FreeTypeSession&) = delete;
    FreeTypeSession& operator=(const FreeTypeSession&) = delete;

    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

// Releases a converted glyph once its texture and list no longer need it.
class GlyphHandle {
  public:
    GlyphHandle() = default;
    ~GlyphHandle() {
        if (glyph != nullptr) {
            FT_Done_Glyph(glyph);
        }
    }
    GlyphHandle(const GlyphHandle&) = delete;
    GlyphHandle& operator=(const GlyphHandle&) = delete;

    FT_Glyph glyph = nullptr;
};

// A glyph wider or taller than this many pixels is drawn blank. The game's face is 96 pixels to
// the em, so only a broken or hostile face gets near it, and rasterising and uploading such a glyph
// would cost hundreds of megabytes for a texture no driver accepts.
constexpr FT_Pos kMaxGlyphSide = 4096;

// Frees a bitmap that FreeType allocated for a conversion.
class BitmapHandle {
  public:
    explicit BitmapHandle(FT_Library library) : library(library) { FT_Bitmap_Init(&bitmap); }
    ~BitmapHandle() { FT_Bitmap_Done(library, &bitmap); }
    BitmapHandle(const BitmapHandle&) = delete;
    BitmapHandle& operator=(const BitmapHandle&) = delete;

    FT_Library library = nullptr;
    FT_Bitmap bitmap{};
};

// The texels of a rendered bitmap. Outlines render to 8-bit coverage, but a face may carry
// embedded bitmaps at the requested size, and those come as 1, 2 or 4 bits a pixel or in colour:
// they are widened to one byte a pixel and their levels stretched to 0..255 first.
GlyphTexels texelsOf(FT_Library library, const FT_Bitmap& bitmap) {
    const int width = static_cast<int>(bitmap.width);
    const int rows = static_cast<int>(bitmap.rows);
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.num_grays == 256) {
        return glyphTexels(bitmap.buffer, width, rows, bitmap.pitch);
    }
    BitmapHandle grey(library);
    if (FT_Bitmap_Convert(library, &bitmap, &grey.bitmap, 1) != 0 || grey.bitmap.num_grays < 2) {
        return glyphTexels(nullptr, 0, 0, 0);
    }
    const unsigned top = grey.bitmap.num_grays - 1u;
    const std::size_t size = std::size_t{grey.bitmap.rows} * std::size_t(grey.bitmap.pitch);
    for (std::size_t k = 0; k < size; ++k) {
        const unsigned level = std::min<unsigned>(grey.bitmap.buffer[k], top);
        grey.bitmap.buffer[k] = static_cast<unsigned char>((level * 255u + top / 2u) / top);
    }
    return glyphTexels(grey.bitmap.buffer, width, rows, grey.bitmap.pitch);
}

// The pen movement of a character at the face's current size, in 26.6 fixed point. Throws
// std::runtime_error when FreeType cannot load the glyph.
long loadedAdvance(FT_Face face, char code) {
    const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0) {
        throw std::runtime_error(Font::kFileError);
    }
    return face->glyph->advance.x;
}

} // namespace

int nextPowerOfTwo(int n) {
    int r = 1;
    while (r < n) {
        r *= 2;
    }
    return r;
}

float advanceInPixels(long advance) {
    // A shift, not a division: an advance a little below zero is a whole pixel to the left.
    return static_cast<float>(advance >> 6);
}

GlyphTexels glyphTexels(const std::uint8_t* buffer, int width, int rows, int pitch) {
    GlyphTexels texels;
    texels.width = nextPowerOfTwo(width);
    texels.height = nextPowerOfTwo(rows);
    texels.bytes.assign(static_cast<std::size_t>(2 * texels.width * texels.height), 0);
    for (int j = 0; j < rows; ++j) {
        // Texel row 0 is the bitmap's top row, wherever the rasteriser keeps it in memory.
        const std::uint8_t* row = pitch >= 0
                                      ? buffer + static_cast<std::ptrdiff_t>(j) * pitch
                                      : buffer + static_cast<std::ptrdiff_t>(rows - 1 - j) * -pitch;
        std::uint8_t* out = texels.bytes.data() + 2 * j * texels.width;
        for (int i = 0; i < width; ++i) {
            out[2 * i] = row[i];
            out[2 * i + 1] = row[i];
        }
    }
    return texels;
}

Font* Font::instance() {
    static Font* font = new Font();
    return font;
}

GlyphRaster rasteriseGlyph(FT_Face face, char code) {
    const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0) {
        throw std::runtime_error("FT_Load_Glyph failed");
    }
    GlyphHandle handle;
    if (FT_Get_Glyph(face->glyph, &handle.glyph) != 0) {
        throw std::runtime_error("FT_Get_Glyph failed");
    }

    GlyphRaster raster;
    raster.advance = face->glyph->advance.x;
    raster.texels = glyphTexels(nullptr, 0, 0, 0);
    FT_BBox box{};
    FT_Glyph_Get_CBox(handle.glyph, FT_GLYPH_BBOX_PIXELS, &box);
    if (box.xMax - box.xMin > kMaxGlyphSide || box.yMax - box.yMin > kMaxGlyphSide) {
        return raster;
    }
    FT_Glyph_To_Bitmap(&handle.glyph, FT_RENDER_MODE_NORMAL, nullptr, 1);
    // The conversion fails for an outline that lies too far from the origin, and then leaves the
    // glyph an outline: drawn blank, like a character the face has no picture for.
    if (handle.glyph->format != FT_GLYPH_FORMAT_BITMAP) {
        return raster;
    }
    const FT_BitmapGlyph bitmapGlyph = reinterpret_cast<FT_BitmapGlyph>(handle.glyph);
    const FT_Bitmap& bitmap = bitmapGlyph->bitmap;
    // A bitmap strike may give a glyph a size and no pixels at all.
    if ((bitmap.buffer == nullptr || bitmap.pitch == 0) && bitmap.width > 0 && bitmap.rows > 0) {
        return raster;
    }
    raster.width = static_cast<int>(bitmap.width);
    raster.rows = static_cast<int>(bitmap.rows);
    raster.left = bitmapGlyph->left;
    raster.top = bitmapGlyph->top;
    raster.texels = texelsOf(face->glyph->library, bitmap);
    return raster;
}

bool buildGlyph(const GlyphRaster& glyph, float rasterScale, long layoutAdvance, char code,
                GLuint listBase, GLuint* textures) {
    const GlyphTexels& texels = glyph.texels;
    const int width = glyph.width;
    const int rows = glyph.rows;

    const GLuint texture = textures[static_cast<unsigned char>(code)];
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    {
        // The rows are packed tight; a texture one texel wide has 2-byte rows, which the default
        // 4-byte row alignment would misread.
        ClientAttribScope pixelStore(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texels.width, texels.height, 0, GL_LUMINANCE_ALPHA,
                     GL_UNSIGNED_BYTE, texels.bytes.data());
    }

    const float s = static_cast<float>(width) / static_cast<float>(texels.width);
    const float t = static_cast<float>(rows) / static_cast<float>(texels.height);
    const float w = static_cast<float>(width) / rasterScale;
    const float h = static_cast<float>(rows) / rasterScale;
    glNewList(listBase + static_cast<unsigned char>(code), GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, texture);
    {
        // Recorded into the list: the glyph's placement is undone before the pen moves on.
        MatrixScope placed;
        glTranslatef(static_cast<float>(glyph.left) / rasterScale, 0.0f, 0.0f);
        glTranslatef(0.0f, static_cast<float>(glyph.top - rows) / rasterScale, 0.0f);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2f(0.0f, h);
        glTexCoord2f(0.0f, t);
        glVertex2f(0.0f, 0.0f);
        glTexCoord2f(s, t);
        glVertex2f(w, 0.0f);
        glTexCoord2f(s, 0.0f);
        glVertex2f(w, h);
        glEnd();
    }
    glTranslatef(advanceInPixels(layoutAdvance), 0.0f, 0.0f);
    glEndList();
    return width > 0 && rows > 0;
}

void Font::init(const char* fileName, std::uint32_t pixelHeight, const char* mustDraw,
                float glyphScale) {
    if (textures == nullptr) {
        textures = new GLuint[kGlyphCount]();
    }
    height = static_cast<float>(pixelHeight);
    scale = glyphScale > 0.0f ? glyphScale : 1.0f;

    // FreeType reads the face from memory until the session ends, so the bytes outlive it.
    std::vector<unsigned char> bytes;
    FreeTypeSession session;
    if (FT_Init_FreeType(&session.library) != 0) {
        throw std::runtime_error("FT_Init_FreeType failed");
    }
    if (!readDataFile(fileName, bytes) ||
        FT_New_Memory_Face(session.library, bytes.data(), static_cast<FT_Long>(bytes.size()), 0,
                           &session.face) != 0) {
        throw std::runtime_error(kFileError);
    }
    for (const char* c = mustDraw; *c != '\0'; ++c) {
        if (FT_Get_Char_Index(session.face, static_cast<unsigned char>(*c)) == 0) {
            throw std::runtime_error(kFileError);
        }
    }
    // Points in 26.6 at 96 dpi: the em square is height * 96 / 72 pixels.
    const FT_F26Dot6 size = static_cast<FT_F26Dot6>(pixelHeight) << 6;
    FT_Set_Char_Size(session.face, size, size, 96, 96);
    // At another scale the pen still moves by the advances of the layout's own size, so a line
    // sets exactly as it does at 1x, its glyphs drawn from bitmaps made at the size they show.
    const bool rescaled = scale != 1.0f;
    long layoutAdvances[kGlyphCount] = {};
    if (rescaled) {
        for (int code = 0; code < kGlyphCount; ++code) {
            layoutAdvances[code] = loadedAdvance(session.face, static_cast<char>(code));
        }
        const auto shown = static_cast<FT_F26Dot6>(std::lround(static_cast<double>(size) * scale));
        FT_Set_Char_Size(session.face, shown, shown, 96, 96);
    }

    if (listBase != 0) {
        glDeleteLists(listBase, kGlyphCount);
        glDeleteTextures(kGlyphCount, textures);
    }
    listBase = glGenLists(kGlyphCount);
    glGenTextures(kGlyphCount, textures);
    for (int code = 0; code < kGlyphCount; ++code) {
        bool drawn = false;
        try {
            const GlyphRaster glyph = rasteriseGlyph(session.face, static_cast<char>(code));
            const long advance = rescaled ? layoutAdvances[code] : glyph.advance;
            drawn = buildGlyph(glyph, scale, advance, static_cast<char>(code), listBase, textures);
        } catch (const std::runtime_error&) {
            throw std::runtime_error(kFileError);
        }
        const bool mustShow = code != 0 && code != ' ' && std::strchr(mustDraw, code) != nullptr;
        if (mustShow && !drawn) {
            throw std::runtime_error(kFileError);
        }
    }
}
