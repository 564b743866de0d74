#include "ui/Font.h"

#include "gfx/GlScope.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <stdexcept>

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

void buildGlyph(FT_Face face, char code, GLuint listBase, GLuint* textures) {
    const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0) {
        throw std::runtime_error("FT_Load_Glyph failed");
    }
    GlyphHandle handle;
    if (FT_Get_Glyph(face->glyph, &handle.glyph) != 0) {
        throw std::runtime_error("FT_Get_Glyph failed");
    }
    FT_Glyph_To_Bitmap(&handle.glyph, FT_RENDER_MODE_NORMAL, nullptr, 1);
    const FT_BitmapGlyph bitmapGlyph = reinterpret_cast<FT_BitmapGlyph>(handle.glyph);
    const FT_Bitmap& bitmap = bitmapGlyph->bitmap;
    const int width = static_cast<int>(bitmap.width);
    const int rows = static_cast<int>(bitmap.rows);

    const GlyphTexels texels = glyphTexels(bitmap.buffer, width, rows, bitmap.pitch);
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
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(rows);
    glNewList(listBase + static_cast<unsigned char>(code), GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPushMatrix();
    glTranslatef(static_cast<float>(bitmapGlyph->left), 0.0f, 0.0f);
    glTranslatef(0.0f, static_cast<float>(bitmapGlyph->top - rows), 0.0f);
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
    glPopMatrix();
    glTranslatef(advanceInPixels(face->glyph->advance.x), 0.0f, 0.0f);
    glEndList();
}

void Font::init(const char* fileName, std::uint32_t pixelHeight) {
    if (textures == nullptr) {
        textures = new GLuint[kGlyphCount]();
    }
    height = static_cast<float>(pixelHeight);

    FreeTypeSession session;
    if (FT_Init_FreeType(&session.library) != 0) {
        throw std::runtime_error("FT_Init_FreeType failed");
    }
    if (FT_New_Face(session.library, fileName, 0, &session.face) != 0) {
        throw std::runtime_error(
            "FT_New_Face failed (there is probably a problem with your font file)");
    }
    // Points in 26.6 at 96 dpi: the em square is height * 96 / 72 pixels.
    const FT_F26Dot6 size = static_cast<FT_F26Dot6>(pixelHeight) << 6;
    FT_Set_Char_Size(session.face, size, size, 96, 96);

    if (listBase != 0) {
        glDeleteLists(listBase, kGlyphCount);
        glDeleteTextures(kGlyphCount, textures);
    }
    listBase = glGenLists(kGlyphCount);
    glGenTextures(kGlyphCount, textures);
    for (int code = 0; code < kGlyphCount; ++code) {
        buildGlyph(session.face, static_cast<char>(code), listBase, textures);
    }
}
