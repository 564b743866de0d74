#pragma once
// Cairo drawing surfaces for the art generator, and the steps that turn them into the game's PNGs.

#include <cairo.h>

#include <string>
#include <vector>

// An ARGB32 cairo image surface with its drawing context; both are released together. A canvas
// of scale 2 is drawn in the same units as one of scale 1 but has twice the pixels each way: the
// same drawing at twice the resolution. Placed on another canvas it covers width x height units.
class Canvas {
  public:
    Canvas(int width, int height, int scale = 1);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return context; }
    cairo_surface_t* surface() const { return image; }
    // In pixels; a unit is scale() pixels.
    int width() const { return cairo_image_surface_get_width(image); }
    int height() const { return cairo_image_surface_get_height(image); }
    int scale() const { return pixelsPerUnit; }

  private:
    int pixelsPerUnit = 1;
    cairo_surface_t* image = nullptr;
    cairo_t* context = nullptr;
};

// Straight (not premultiplied) 8-bit RGBA pixels, rows top first: what the PNG files hold.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
};

// The pixels a unit of the canvas that cr draws on takes: its scale.
int scaleOf(cairo_t* cr);

// Softens the canvas in place: three box passes each way, close to a Gaussian of that radius in
// the canvas's units.
void blur(Canvas& canvas, int radius);

// Fills small with the mean of each block of large, whose sides must be the same whole multiple
// of small's: an area filter, in premultiplied channels, so edges keep their colour.
void shrink(const Canvas& large, Canvas& small);

// Converts the canvas to straight alpha. Texels too faint to carry a trustworthy colour, and the
// fully transparent ones, take the colour of their nearest solid neighbours, so that the game's
// bilinear filtering never pulls black into an anti-aliased edge.
Pixels toPixels(const Canvas& canvas);

// Writes RGBA, or RGB (dropping alpha) when withAlpha is false. Returns false on any failure.
bool writePng(const Pixels& pixels, const std::string& path, bool withAlpha);

// Reads any PNG as straight RGBA. Returns false when the file cannot be read.
bool readPng(const std::string& path, Pixels& out);
