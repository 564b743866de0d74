// Fuzz target for the glyph rasteriser behind the font. Each input is opened as a face the way the
// game opens its face file, sized as the game sizes it, and all 128 characters are rasterised into
// the texels that would be uploaded, stopping at the first character that cannot be loaded as the
// font's start-up does. Every texture must be well formed: powers of two that hold the bitmap,
// luminance equal to alpha, and nothing outside the bitmap.

#include "ui/Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

// The height the game asks for.
constexpr FT_F26Dot6 kPixelHeight = 72;

void check(bool ok, const char* what, int code) {
    if (!ok) {
        std::fprintf(stderr, "glyph check failed for character %d: %s\n", code, what);
        std::abort();
    }
}

void checkGlyph(const GlyphRaster& glyph, int code) {
    const GlyphTexels& texels = glyph.texels;
    check(glyph.width >= 0 && glyph.rows >= 0, "bitmap size not negative", code);
    check(texels.width == nextPowerOfTwo(glyph.width), "texture width", code);
    check(texels.height == nextPowerOfTwo(glyph.rows), "texture height", code);
    check(texels.bytes.size() == 2 * std::size_t(texels.width) * std::size_t(texels.height),
          "two bytes a texel", code);
    for (int j = 0; j < texels.height; ++j) {
        for (int i = 0; i < texels.width; ++i) {
            const std::uint8_t* texel = &texels.bytes[2 * (std::size_t(j) * texels.width + i)];
            check(texel[0] == texel[1], "luminance equals alpha", code);
            check(texel[0] == 0 || (i < glyph.width && j < glyph.rows), "blank padding", code);
        }
    }
}

// One library for the whole run, as opening it for every input would only measure its start-up.
FT_Library library() {
    static FT_Library shared = [] {
        FT_Library created = nullptr;
        if (FT_Init_FreeType(&created) != 0) {
            std::abort();
        }
        return created;
    }();
    return shared;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library(), data, static_cast<FT_Long>(size), 0, &face) != 0) {
        return 0;
    }
    FT_Set_Char_Size(face, kPixelHeight << 6, kPixelHeight << 6, 96, 96);
    try {
        for (int code = 0; code < Font::kGlyphCount; ++code) {
            checkGlyph(rasteriseGlyph(face, static_cast<char>(code)), code);
        }
    } catch (const std::runtime_error&) {
        // The font's start-up ends here with the same error; nothing more to check.
    }
    FT_Done_Face(face);
    return 0;
}
