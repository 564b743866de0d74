#include "art/Typefaces.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdexcept>

const char* const headingFontPath =
    "/usr/share/fonts/truetype/leckerli-one/LeckerliOne-Regular.ttf";

namespace {

const char* const bodyFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const boldFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

const cairo_user_data_key_t faceKey{};

// cairo keeps the FreeType face until its own font face goes; it then calls this to close it.
void closeFace(void* face) {
    FT_Done_Face(static_cast<FT_Face>(face));
}

cairo_font_face_t* open(FT_Library library, const char* path) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, path, 0, &face) != 0) {
        throw std::runtime_error(std::string("cannot open type face ") + path);
    }
    cairo_font_face_t* result = cairo_ft_font_face_create_for_ft_face(face, 0);
    cairo_font_face_set_user_data(result, &faceKey, face, closeFace);
    return result;
}

} // namespace

Typefaces::Typefaces() {
    FT_Library ft = nullptr;
    if (FT_Init_FreeType(&ft) != 0) {
        throw std::runtime_error("cannot start FreeType");
    }
    library = ft;
    headingFace = open(ft, headingFontPath);
    bodyFace = open(ft, bodyFontPath);
    boldFace = open(ft, boldFontPath);
}

Typefaces::~Typefaces() {
    cairo_font_face_destroy(headingFace);
    cairo_font_face_destroy(bodyFace);
    cairo_font_face_destroy(boldFace);
    // The FreeType library stays open: cairo's font cache may close the faces later, and that
    // must not come after the library that owns them is gone. The tool exits soon anyway.
}
