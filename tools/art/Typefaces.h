#pragma once
// The type faces the screens are lettered with, opened from their installed files for cairo.

#include <cairo.h>

#include <string>

// Owns FreeType and the faces; cairo font faces are valid while this object lives.
class Typefaces {
  public:
    Typefaces(); // throws std::runtime_error when a face file is missing
    ~Typefaces();
    Typefaces(const Typefaces&) = delete;
    Typefaces& operator=(const Typefaces&) = delete;

    cairo_font_face_t* heading() const { return headingFace; }
    cairo_font_face_t* body() const { return bodyFace; }
    cairo_font_face_t* bold() const { return boldFace; }

  private:
    void* library = nullptr; // FT_Library, opaque so that users need no FreeType headers
    cairo_font_face_t* headingFace = nullptr;
    cairo_font_face_t* bodyFace = nullptr;
    cairo_font_face_t* boldFace = nullptr;
};

// Where the display face comes from; the build script copies it into the game's data as well.
extern const char* const headingFontPath;
