#pragma once
// PNG files into OpenGL textures: our own small pngBind on libpng, plus the decoder under it.

#include <cstddef>
#include <vector>

// Mipmap modes.
constexpr int PNG_NOMIPMAPS = 0;
constexpr int PNG_BUILDMIPMAPS = -1;
// Transparency modes: keep the file's alpha channel when it has one, or make the image opaque.
constexpr int PNG_SOLID = -1;
constexpr int PNG_ALPHA = -2;

// What pngBind can report about the image it loaded.
struct PngInfo {
    unsigned width = 0;
    unsigned height = 0;
    unsigned depth = 0; // bits per texel as uploaded: 24 or 32
    bool alpha = false;
};

// A decoded image: rows top first, tightly packed, 3 (RGB) or 4 (RGBA) bytes a pixel.
struct PngImage {
    unsigned width = 0;
    unsigned height = 0;
    unsigned channels = 0;
    std::vector<unsigned char> pixels;
};

// The largest width and height of a picture the game loads. Its largest picture is 1024 x 768; a
// header that claims more is refused before any pixels are allocated, so a few damaged bytes
// cannot make it reserve hundreds of megabytes for rows the file does not hold.
constexpr unsigned kMaxPictureSide = 4096;

// Decodes a PNG from memory or from a file (opened only as openDataFile allows). Returns false
// for anything that is not a complete, valid PNG, and refuses before allocating any pixels an
// image whose width or height is 0 or above maxSide or kMaxPictureSide. keepAlpha false drops
// the alpha channel. libpng reports damage on standard error; nothing here ever aborts.
bool decodePng(const unsigned char* data, std::size_t size, unsigned maxSide, bool keepAlpha,
               PngImage& out);
bool decodePngFile(const char* path, unsigned maxSide, bool keepAlpha, PngImage& out);

// Starts decoding the named files on a worker thread of their own, for pngBind to take when it is
// asked for the same path (as written here) with PNG_ALPHA: it then uploads that image instead of
// reading the file, and waits only if the worker has not got that far. The texture, and the 0
// for a missing, damaged or oversized file, are what reading the file there would give. Meant
// for start-up, so that decoding overlaps work that does not need the pictures (creating the
// window); call it before the first pngBind. Without it pngBind reads every file itself. Naming
// the same files again changes nothing; naming others replaces the list: what was decoded of the
// earlier one and not taken is dropped, and the worker turns to the new one after the file in hand.
void decodePngFilesAhead(const char* const* paths, std::size_t count);

// Creates a texture from the PNG at path, binds it, sets both wrap modes to wrap and the two
// filters, and uploads the image (with a full mipmap chain for PNG_BUILDMIPMAPS). Returns the
// texture name, or 0 when the file is missing, damaged or larger than GL_MAX_TEXTURE_SIZE.
// info, when given, receives the image's size. Needs a current GL context.
unsigned pngBind(const char* path, int mipmap, int trans, PngInfo* info, int wrap, int minFilter,
                 int magFilter);
// pngBind's texture from an image already decoded (RGB or RGBA). internalFormat, when not 0, is
// the format GL stores the texels in instead of the image's own (GL_RGBA for an RGB image, say).
unsigned textureFromImage(const PngImage& image, int mipmap, int wrap, int minFilter, int magFilter,
                          int internalFormat = 0);

// Halves an image in both directions (never below 1) with a box filter: the next mipmap level.
PngImage halveImage(const PngImage& image);
