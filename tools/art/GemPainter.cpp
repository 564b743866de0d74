#include "art/GemPainter.h"

#include "board/Gem.h"
#include "gfx/GemPictures.h"
#include "gfx/PictureScale.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

constexpr double pi = 3.14159265358979323846;

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

Vec3 operator-(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 normalised(const Vec3& v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Light from the upper left and in front; image coordinates, so y grows downwards.
const Vec3 light = normalised({-0.5, -0.7, 0.9});

// A point on a circle around the centre; corner k of n sits at angle -90 + 360 k / n degrees,
// so every shape has a corner at the top and is symmetric about the vertical axis.
Vec3 corner(double centre, double radius, int k, int n, double z) {
    const double angle = -pi / 2 + 2 * pi * k / n;
    return {centre + radius * std::cos(angle), centre + radius * std::sin(angle), z};
}

Vec3 midpoint(const Vec3& a, const Vec3& b, double z) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2, z};
}

void polygon(cairo_t* cr, double centre, double radius, int n) {
    for (int k = 0; k < n; ++k) {
        const Vec3 p = corner(centre, radius, k, n, 0.0);
        if (k == 0) {
            cairo_move_to(cr, p.x, p.y);
        } else {
            cairo_line_to(cr, p.x, p.y);
        }
    }
    cairo_close_path(cr);
}

// Grey level of a flat facet lit by the fixed light. The range stays pale so that the game's
// colour tint shows strongly on every facet and the facets still read apart.
double facetGrey(const Vec3& a, const Vec3& b, const Vec3& c) {
    Vec3 normal = normalised(cross(b - a, c - a));
    if (normal.z < 0) {
        normal = {-normal.x, -normal.y, -normal.z};
    }
    const double diffuse = std::max(0.0, dot(normal, light));
    return std::clamp(0.50 + 0.52 * diffuse, 0.0, 1.0);
}

void triangle(cairo_t* cr, const Vec3& a, const Vec3& b, const Vec3& c, double grey) {
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    cairo_line_to(cr, c.x, c.y);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, grey, grey, grey);
    cairo_fill(cr);
}

} // namespace

std::string gemFileName(int sides, GemLayer layer) {
    const int slot = (sides - Gem::kMinSides) * kGemPictureKinds + static_cast<int>(layer);
    return std::filesystem::path(kGemPicturePaths[slot]).filename();
}

std::string highlightFileName() {
    return std::filesystem::path(kGemPicturePaths[kGemPictureCount - 1]).filename();
}

std::string fileNameAt(const std::string& path, int scale) {
    return std::filesystem::path(scaledPicturePath(path, scale)).filename();
}

GemPainter::GemPainter(int sides, int size)
    : sides(sides), centre(size / 2.0), radius(size / 2.0 - 1.5), rimWidth(size * 0.055) {}

void GemPainter::paint(Canvas& canvas, GemLayer layer) const {
    cairo_t* cr = canvas.cr();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    if (layer == GemLayer::Fill) {
        paintFill(cr);
    } else {
        paintRim(cr, layer == GemLayer::OutlineWhite);
    }
    cairo_restore(cr);
}

void GemPainter::paintFill(cairo_t* cr) const {
    const int n = sides;
    const double height = radius * 0.55; // of the flat top above the widest ring
    const double tableRadius = radius * 0.56;
    const double crownRise = height * 0.30; // edge midpoints sit a little above the corners

    // The whole body first: it fills the seams that anti-aliasing leaves between facets.
    polygon(cr, centre, radius, n);
    cairo_set_source_rgb(cr, 0.82, 0.82, 0.82);
    cairo_fill_preserve(cr);
    cairo_clip(cr);

    // Crown: for each edge a star facet leaning on the table, and two halves of a kite at each
    // corner. Each is a flat triangle of a low pyramid, lit by the one light.
    for (int k = 0; k < n; ++k) {
        const Vec3 p0 = corner(centre, radius, k, n, 0.0);
        const Vec3 p1 = corner(centre, radius, k + 1, n, 0.0);
        const Vec3 t0 = corner(centre, tableRadius, k, n, height);
        const Vec3 t1 = corner(centre, tableRadius, k + 1, n, height);
        const Vec3 q = midpoint(p0, p1, crownRise);
        triangle(cr, t0, t1, q, facetGrey(t0, t1, q));
        triangle(cr, t0, p0, q, facetGrey(t0, p0, q));
        triangle(cr, t1, q, p1, facetGrey(t1, q, p1));
    }

    // The table: flat, facing the viewer, with a gentle falloff towards the lower right.
    polygon(cr, centre, tableRadius, n);
    cairo_pattern_t* table =
        cairo_pattern_create_linear(centre - tableRadius * 0.7, centre - tableRadius * 0.9,
                                    centre + tableRadius * 0.7, centre + tableRadius * 0.9);
    cairo_pattern_add_color_stop_rgb(table, 0.0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(table, 1.0, 0.86, 0.86, 0.86);
    cairo_set_source(cr, table);
    cairo_fill(cr);
    cairo_pattern_destroy(table);

    // A soft gloss in the upper left, as if the light were mirrored in the surface.
    const double gx = centre - radius * 0.30;
    const double gy = centre - radius * 0.36;
    cairo_pattern_t* gloss = cairo_pattern_create_radial(gx, gy, 0, gx, gy, radius * 0.55);
    cairo_pattern_add_color_stop_rgba(gloss, 0.0, 1, 1, 1, 0.55);
    cairo_pattern_add_color_stop_rgba(gloss, 1.0, 1, 1, 1, 0.0);
    cairo_set_source(cr, gloss);
    cairo_paint(cr);
    cairo_pattern_destroy(gloss);

    // Darken towards the girdle so the body rounds off into the rim.
    cairo_pattern_t* shade =
        cairo_pattern_create_radial(centre, centre, radius * 0.6, centre, centre, radius);
    cairo_pattern_add_color_stop_rgba(shade, 0.0, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(shade, 1.0, 0, 0, 0, 0.12);
    cairo_set_source(cr, shade);
    cairo_paint(cr);
    cairo_pattern_destroy(shade);
}

void GemPainter::paintRim(cairo_t* cr, bool white) const {
    const int n = sides;
    const double inner = radius - rimWidth / std::cos(pi / n); // keeps the band's width even

    // The band as a whole, then one bevelled strip per edge on top of it.
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    polygon(cr, centre, radius, n);
    polygon(cr, centre, inner, n);
    const double base = white ? 0.92 : 0.40;
    cairo_set_source_rgb(cr, base, base, base);
    cairo_fill_preserve(cr);
    cairo_clip(cr);

    for (int k = 0; k < n; ++k) {
        const Vec3 p0 = corner(centre, radius, k, n, 0.0);
        const Vec3 p1 = corner(centre, radius, k + 1, n, 0.0);
        const Vec3 i0 = corner(centre, inner, k, n, 0.0);
        const Vec3 i1 = corner(centre, inner, k + 1, n, 0.0);
        // Outward normal of the edge in the image plane, tilted towards the viewer.
        const double mid = -pi / 2 + 2 * pi * (k + 0.5) / n;
        const Vec3 normal = normalised({std::cos(mid), std::sin(mid), 0.8});
        const double lit = dot(normal, light);
        const double grey = white ? std::clamp(0.80 + 0.25 * lit, 0.0, 1.0)
                                  : std::clamp(0.22 + 0.42 * lit, 0.0, 1.0);
        cairo_move_to(cr, p0.x, p0.y);
        cairo_line_to(cr, p1.x, p1.y);
        cairo_line_to(cr, i1.x, i1.y);
        cairo_line_to(cr, i0.x, i0.y);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, grey, grey, grey);
        cairo_fill(cr);
    }

    // A bright line along the inner edge of the band catches the light like a polished bezel.
    cairo_reset_clip(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    polygon(cr, centre, inner + rimWidth * 0.22, n);
    cairo_set_line_width(cr, rimWidth * 0.35);
    const double edge = white ? 1.0 : 0.70;
    cairo_set_source_rgba(cr, edge, edge, edge, 0.8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_stroke(cr);
}

void paintTwinkle(Canvas& canvas) {
    cairo_t* cr = canvas.cr();
    const double size = canvas.width() / canvas.scale();
    const double c = size / 2.0;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);

    // Soft round glow.
    cairo_pattern_t* glow = cairo_pattern_create_radial(c, c, 0, c, c, size * 0.30);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, 1, 1, 1, 0.85);
    cairo_pattern_add_color_stop_rgba(glow, 0.25, 1, 1, 1, 0.45);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, 1, 1, 1, 0.0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);

    // Four-pointed star with concave sides: long arms on the axes, short ones on the diagonals.
    auto star = [&](double reach, double waist, double turn, double alpha) {
        const int points = 4;
        for (int k = 0; k < points; ++k) {
            const double a = turn + 2 * pi * k / points;
            const double b = a + pi / points;
            const double tipX = c + reach * std::cos(a);
            const double tipY = c + reach * std::sin(a);
            if (k == 0) {
                cairo_move_to(cr, tipX, tipY);
            } else {
                cairo_line_to(cr, tipX, tipY);
            }
            const double nextA = a + 2 * pi / points;
            const double waistX = c + waist * std::cos(b);
            const double waistY = c + waist * std::sin(b);
            cairo_curve_to(cr, waistX, waistY, waistX, waistY, c + reach * std::cos(nextA),
                           c + reach * std::sin(nextA));
        }
        cairo_close_path(cr);
        cairo_pattern_t* fade = cairo_pattern_create_radial(c, c, 0, c, c, reach);
        cairo_pattern_add_color_stop_rgba(fade, 0.0, 1, 1, 1, alpha);
        cairo_pattern_add_color_stop_rgba(fade, 0.6, 1, 1, 1, alpha * 0.6);
        cairo_pattern_add_color_stop_rgba(fade, 1.0, 1, 1, 1, 0.0);
        cairo_set_source(cr, fade);
        cairo_fill(cr);
        cairo_pattern_destroy(fade);
    };
    star(size * 0.48, size * 0.05, 0.0, 1.0);
    star(size * 0.26, size * 0.04, pi / 4, 0.8);

    // A hot white core.
    cairo_pattern_t* core = cairo_pattern_create_radial(c, c, 0, c, c, size * 0.09);
    cairo_pattern_add_color_stop_rgba(core, 0.0, 1, 1, 1, 1.0);
    cairo_pattern_add_color_stop_rgba(core, 1.0, 1, 1, 1, 0.0);
    cairo_set_source(cr, core);
    cairo_paint(cr);
    cairo_pattern_destroy(core);
    cairo_restore(cr);
}
