#include "art/IconPainter.h"

#include "art/GemPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double pi = 3.14159265358979323846;

struct Colour {
    double r = 1.0;
    double g = 1.0;
    double b = 1.0;
};

// Multiplies every pixel by the colour, the way the game's texture modulation tints its pale
// gem pictures. Premultiplied pixels stay valid, since no channel grows.
void tint(Canvas& canvas, Colour colour) {
    cairo_surface_flush(canvas.surface());
    unsigned char* data = cairo_image_surface_get_data(canvas.surface());
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    const double factor[3] = {colour.b, colour.g, colour.r}; // ARGB32 words: blue lowest
    for (int y = 0; y < canvas.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < canvas.width(); ++x) {
            uint32_t v = row[x] & 0xff000000u;
            for (int c = 0; c < 3; ++c) {
                const double channel = (row[x] >> (8 * c)) & 0xff;
                v |= static_cast<uint32_t>(std::lround(channel * factor[c])) << (8 * c);
            }
            row[x] = v;
        }
    }
    cairo_surface_mark_dirty(canvas.surface());
}

// One gem, body and rim in the same tint, with its centre at (x, y) of the target.
void paintGem(cairo_t* target, int sides, int size, double x, double y, Colour colour) {
    const GemPainter painter(sides, size);
    Canvas layer(size, size);
    const double left = std::round(x - size / 2.0);
    const double top = std::round(y - size / 2.0);
    for (const GemLayer kind : {GemLayer::Fill, GemLayer::Outline}) {
        painter.paint(layer, kind);
        tint(layer, colour);
        cairo_set_source_surface(target, layer.surface(), left, top);
        cairo_paint(target);
    }
}

} // namespace

void paintIcon(Canvas& canvas) {
    const double size = canvas.width();
    const double centre = size / 2.0;
    // Neighbours sit a little apart, as on the board; the cluster fills the square but for a
    // thin margin, which the shadow uses.
    const double spacing = 1.03;
    const int gemSize = static_cast<int>(std::lround(size * 0.94 / (2 * spacing + 1)));
    const double step = gemSize * spacing;

    // The board's six colours round the ring, in hue order, and a white gem in the middle.
    const Colour ring[6] = {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1}};
    const int ringSides[6] = {7, 9, 6, 10, 8, 7};

    Canvas cluster(canvas.width(), canvas.height());
    cairo_t* cr = cluster.cr();
    for (int k = 0; k < 6; ++k) {
        // Red at the top and on clockwise, as the ring of gems on the title card is laid out.
        const double angle = -pi / 2 + k * pi / 3;
        paintGem(cr, ringSides[k], gemSize, centre + step * std::cos(angle),
                 centre + step * std::sin(angle), ring[k]);
    }
    paintGem(cr, 10, gemSize, centre, centre, {1, 1, 1});

    // A sparkle over the upper left of the middle gem, where the light comes from.
    Canvas twinkle(gemSize, gemSize);
    paintTwinkle(twinkle);
    cairo_save(cr);
    const double at = centre - gemSize * 0.22;
    cairo_translate(cr, at, at);
    cairo_scale(cr, 0.8, 0.8);
    cairo_set_source_surface(cr, twinkle.surface(), -gemSize / 2.0, -gemSize / 2.0);
    cairo_paint(cr);
    cairo_restore(cr);

    // A soft shadow below the cluster lifts it off light and dark backgrounds alike.
    cairo_t* out = canvas.cr();
    cairo_save(out);
    cairo_set_operator(out, CAIRO_OPERATOR_CLEAR);
    cairo_paint(out);
    cairo_set_operator(out, CAIRO_OPERATOR_OVER);
    cairo_set_source_rgba(out, 0, 0, 0, 0.45);
    cairo_mask_surface(out, cluster.surface(), 0, size * 0.015);
    cairo_restore(out);
    blur(canvas, std::max(1, static_cast<int>(std::lround(size * 0.012))));
    cairo_set_source_surface(out, cluster.surface(), 0, 0);
    cairo_paint(out);
}
