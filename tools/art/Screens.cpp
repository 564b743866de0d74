#include "art/Screens.h"

#include "art/BoardGeometry.h"
#include "art/GemPainter.h"
#include "board/GemColours.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

Rgb hex(uint32_t value) {
    return {((value >> 16) & 0xff) / 255.0, ((value >> 8) & 0xff) / 255.0, (value & 0xff) / 255.0};
}

void setColour(cairo_t* cr, Rgb c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void hexagonPath(cairo_t* cr, double cx, double cy, double radius, double turn) {
    for (int k = 0; k < 6; ++k) {
        const double a = turn + k * pi / 3;
        if (k == 0) {
            cairo_move_to(cr, cx + radius * std::cos(a), cy + radius * std::sin(a));
        } else {
            cairo_line_to(cr, cx + radius * std::cos(a), cy + radius * std::sin(a));
        }
    }
    cairo_close_path(cr);
}

// A honeycomb of thin lines over the whole canvas, stroked as one path so shared edges do not
// come out twice as strong.
void honeycomb(cairo_t* cr, int width, int height, double radius, double lineWidth) {
    const double dx = radius * 1.5;
    const double dy = radius * std::sqrt(3.0);
    for (int col = -1; col * dx < width + radius; ++col) {
        for (int row = -1; row * dy < height + radius; ++row) {
            const double cx = col * dx;
            const double cy = row * dy + ((col & 1) ? dy / 2 : 0.0);
            hexagonPath(cr, cx, cy, radius, 0.0);
        }
    }
    cairo_set_line_width(cr, lineWidth);
    cairo_stroke(cr);
}

// Multiplies every pixel of the canvas by the colour, as the game's texture tint does.
void tint(Canvas& canvas, const float rgb[3]) {
    cairo_surface_flush(canvas.surface());
    unsigned char* data = cairo_image_surface_get_data(canvas.surface());
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    for (int y = 0; y < canvas.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < canvas.width(); ++x) {
            const uint32_t v = row[x];
            const auto channel = [&](int shift, double factor) {
                return static_cast<uint32_t>(((v >> shift) & 0xff) * factor + 0.5) << shift;
            };
            row[x] =
                (v & 0xff000000u) | channel(16, rgb[0]) | channel(8, rgb[1]) | channel(0, rgb[2]);
        }
    }
    cairo_surface_mark_dirty(canvas.surface());
}

void drawCanvas(cairo_t* cr, const Canvas& picture, double cx, double cy, double angle,
                double alpha = 1.0) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    cairo_translate(cr, -picture.width() / (2.0 * picture.scale()),
                    -picture.height() / (2.0 * picture.scale()));
    cairo_set_source_surface(cr, picture.surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

// Glow under a shape: the path is filled with the source into a scratch canvas, blurred, and
// laid under what follows.
template <typename PathFn, typename SourceFn>
void glow(cairo_t* cr, int width, int height, int radius, double alpha, PathFn path,
          SourceFn source) {
    Canvas scratch(width, height, scaleOf(cr));
    path(scratch.cr());
    source(scratch.cr());
    cairo_fill(scratch.cr());
    blur(scratch, radius);
    cairo_set_source_surface(cr, scratch.surface(), 0, 0);
    cairo_paint_with_alpha(cr, alpha);
}

// The dusk sky behind every screen: a deep slate gradient, a lighter heart, a faint honeycomb
// that fades out towards the corners, and a vignette.
void sky(cairo_t* cr, double heartX, double heartY, double honeycombRadius) {
    const Rgb top = hex(0x1b2233);
    const Rgb bottom = hex(0x0d1019);
    cairo_pattern_t* base = cairo_pattern_create_linear(0, 0, 0, screenHeight);
    cairo_pattern_add_color_stop_rgb(base, 0.0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(base, 1.0, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, base);
    cairo_paint(cr);
    cairo_pattern_destroy(base);

    const Rgb heart = hex(0x34405c);
    cairo_pattern_t* light =
        cairo_pattern_create_radial(heartX, heartY, 0, heartX, heartY, screenWidth * 0.62);
    cairo_pattern_add_color_stop_rgba(light, 0.0, heart.r, heart.g, heart.b, 0.75);
    cairo_pattern_add_color_stop_rgba(light, 1.0, heart.r, heart.g, heart.b, 0.0);
    cairo_set_source(cr, light);
    cairo_paint(cr);
    cairo_pattern_destroy(light);

    // The honeycomb, masked by a radial fade so that it is only a hint.
    cairo_push_group(cr);
    cairo_set_source_rgba(cr, 0.75, 0.85, 1.0, 1.0);
    honeycomb(cr, screenWidth, screenHeight, honeycombRadius, 1.3);
    cairo_pattern_t* pattern = cairo_pop_group(cr);
    cairo_pattern_t* fade =
        cairo_pattern_create_radial(heartX, heartY, 0, heartX, heartY, screenWidth * 0.7);
    cairo_pattern_add_color_stop_rgba(fade, 0.0, 0, 0, 0, 0.075);
    cairo_pattern_add_color_stop_rgba(fade, 1.0, 0, 0, 0, 0.015);
    cairo_set_source(cr, pattern);
    cairo_mask(cr, fade);
    cairo_pattern_destroy(fade);
    cairo_pattern_destroy(pattern);

    cairo_pattern_t* vignette =
        cairo_pattern_create_radial(screenWidth / 2.0, screenHeight / 2.0, screenHeight * 0.45,
                                    screenWidth / 2.0, screenHeight / 2.0, screenWidth * 0.75);
    cairo_pattern_add_color_stop_rgba(vignette, 0.0, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(vignette, 1.0, 0, 0, 0, 0.45);
    cairo_set_source(cr, vignette);
    cairo_paint(cr);
    cairo_pattern_destroy(vignette);
}

// Convex polygon grown outwards by distance d, corners mitred (roundedPath rounds them).
std::vector<Point> grow(const std::vector<Point>& poly, double d) {
    Point centre;
    for (const Point& p : poly) {
        centre.x += p.x / poly.size();
        centre.y += p.y / poly.size();
    }
    const size_t n = poly.size();
    std::vector<Point> normals(n);
    for (size_t i = 0; i < n; ++i) {
        const Point& a = poly[i];
        const Point& b = poly[(i + 1) % n];
        Point normal{b.y - a.y, a.x - b.x};
        const double length = std::hypot(normal.x, normal.y);
        normal = {normal.x / length, normal.y / length};
        const Point mid{(a.x + b.x) / 2 - centre.x, (a.y + b.y) / 2 - centre.y};
        if (normal.x * mid.x + normal.y * mid.y < 0) {
            normal = {-normal.x, -normal.y};
        }
        normals[i] = normal;
    }
    std::vector<Point> out(n);
    for (size_t i = 0; i < n; ++i) {
        const Point& n1 = normals[(i + n - 1) % n];
        const Point& n2 = normals[i];
        const double k = d / (1.0 + n1.x * n2.x + n1.y * n2.y);
        out[i] = {poly[i].x + (n1.x + n2.x) * k, poly[i].y + (n1.y + n2.y) * k};
    }
    return out;
}

// A convex polygon (clockwise on screen) grown by d, with its corners rounded to radius r.
void roundedPath(cairo_t* cr, const std::vector<Point>& poly, double d, double r) {
    const std::vector<Point> inner = grow(poly, d - r);
    const size_t n = inner.size();
    cairo_new_path(cr);
    for (size_t i = 0; i < n; ++i) {
        const Point& prev = inner[(i + n - 1) % n];
        const Point& here = inner[i];
        const Point& next = inner[(i + 1) % n];
        // Outward normals of the edges meeting here; clockwise order puts them on the left.
        const double from = std::atan2(-(here.x - prev.x), here.y - prev.y);
        const double to = std::atan2(-(next.x - here.x), next.y - here.y);
        cairo_arc(cr, here.x, here.y, r, from, to);
    }
    cairo_close_path(cr);
}

// The corners of the hexagon through the outermost cell centres, in image pixels.
std::vector<Point> boardCorners() {
    const std::vector<Point> cells = cellCentres();
    // First and last cells of rows 0, 6 and 12 (indices 0, 6, 57, 69, 120, 126).
    const int corners[] = {0, 6, 69, 126, 120, 57};
    std::vector<Point> out;
    for (int index : corners) {
        out.push_back(toImage(cells[index]));
    }
    return out;
}

struct TextStyle {
    cairo_font_face_t* face = nullptr;
    double size = 0.0;
};

void useStyle(cairo_t* cr, TextStyle style) {
    cairo_set_font_face(cr, style.face);
    cairo_set_font_size(cr, style.size);
}

// Text is set by the metrics of the font as a canvas of scale 1 hints them, at every scale: the
// lines of a 2x picture run exactly as the 1x picture's, and only the glyphs' outlines are drawn
// at its resolution. This is the font cairo sets the context's text with at scale 1: its face and
// size under its transformation, without the canvas's scale. At scale 1 it is that very font.
class LayoutFont {
  public:
    explicit LayoutFont(cairo_t* cr) {
        cairo_matrix_t size;
        cairo_matrix_t transformation;
        cairo_get_font_matrix(cr, &size);
        cairo_get_matrix(cr, &transformation);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_t* own = cairo_font_options_create();
        cairo_surface_get_font_options(cairo_get_target(cr), options);
        cairo_get_font_options(cr, own);
        cairo_font_options_merge(options, own);
        font = cairo_scaled_font_create(cairo_get_font_face(cr), &size, &transformation, options);
        cairo_font_options_destroy(own);
        cairo_font_options_destroy(options);
    }
    ~LayoutFont() { cairo_scaled_font_destroy(font); }
    LayoutFont(const LayoutFont&) = delete;
    LayoutFont& operator=(const LayoutFont&) = delete;

    cairo_text_extents_t extents(const std::string& text) const {
        cairo_text_extents_t extents{};
        cairo_scaled_font_text_extents(font, text.c_str(), &extents);
        return extents;
    }
    // Shows the text from the current point, or adds its outline to the path.
    void set(cairo_t* cr, const std::string& text, bool asPath) const {
        double x = 0.0;
        double y = 0.0;
        cairo_get_current_point(cr, &x, &y);
        cairo_glyph_t* glyphs = nullptr;
        int count = 0;
        if (cairo_scaled_font_text_to_glyphs(font, x, y, text.c_str(), -1, &glyphs, &count, nullptr,
                                             nullptr, nullptr) == CAIRO_STATUS_SUCCESS) {
            asPath ? cairo_glyph_path(cr, glyphs, count) : cairo_show_glyphs(cr, glyphs, count);
        }
        cairo_glyph_free(glyphs);
    }

  private:
    cairo_scaled_font_t* font = nullptr;
};

double inkWidth(cairo_t* cr, TextStyle style, const std::string& text) {
    useStyle(cr, style);
    return LayoutFont(cr).extents(text).width;
}

// Adds the text's outline to the path, its ink centred on x, its baseline at y.
void centredTextPath(cairo_t* cr, TextStyle style, const std::string& text, double x, double y) {
    useStyle(cr, style);
    const LayoutFont font(cr);
    const cairo_text_extents_t extents = font.extents(text);
    cairo_move_to(cr, x - extents.width / 2 - extents.x_bearing, y);
    font.set(cr, text, true);
}

// A rainbow across the six gem colours, softened towards white, for glows behind headings.
cairo_pattern_t* rainbow(double x0, double x1, double pastel) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
    const int order[] = {2, 4, 0, 5, 1, 3}; // red, yellow, green, cyan, blue, magenta
    for (int i = 0; i < 6; ++i) {
        const float* c = gemColours[order[i]];
        cairo_pattern_add_color_stop_rgb(p, i / 5.0, c[0] + (1 - c[0]) * pastel,
                                         c[1] + (1 - c[1]) * pastel, c[2] + (1 - c[2]) * pastel);
    }
    return p;
}

// A heading in the display face: rainbow glow, drop shadow, dark edge and a white-to-cream body.
void heading(cairo_t* cr, TextStyle style, const std::string& text, double x, double y,
             double glowRadius) {
    const double half = inkWidth(cr, style, text) / 2;
    glow(
        cr, screenWidth, screenHeight, static_cast<int>(glowRadius), 0.95,
        [&](cairo_t* g) {
            centredTextPath(g, style, text, x, y);
            cairo_set_line_width(g, style.size * 0.08);
            cairo_stroke_preserve(g);
        },
        [&](cairo_t* g) {
            cairo_pattern_t* p = rainbow(x - half, x + half, 0.15);
            cairo_set_source(g, p);
            cairo_pattern_destroy(p);
        });

    // Drop shadow.
    glow(
        cr, screenWidth, screenHeight, 4, 0.6,
        [&](cairo_t* g) { centredTextPath(g, style, text, x + 3, y + 5); },
        [&](cairo_t* g) { cairo_set_source_rgb(g, 0.02, 0.02, 0.06); });

    centredTextPath(cr, style, text, x, y);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, style.size * 0.045);
    cairo_set_source_rgb(cr, 0.10, 0.11, 0.20);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, y - style.size * 0.75, 0, y);
    cairo_pattern_add_color_stop_rgb(body, 0.0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(body, 0.55, 0.97, 0.95, 0.90);
    cairo_pattern_add_color_stop_rgb(body, 1.0, 1.0, 0.86, 0.62);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
}

// A line of body text in which *starred* parts are set in bold; left aligned at x. Returns the
// line's advance; with draw false it only measures.
double richLine(cairo_t* cr, TextStyle regular, TextStyle bold, const std::string& text, double x,
                double y, Rgb plain, Rgb strong, bool draw = true) {
    bool isBold = false;
    std::string run;
    double pen = x;
    const auto flush = [&]() {
        if (run.empty()) {
            return;
        }
        useStyle(cr, isBold ? bold : regular);
        const LayoutFont font(cr);
        if (draw) {
            cairo_move_to(cr, pen, y);
            setColour(cr, isBold ? strong : plain);
            font.set(cr, run, false);
        }
        pen += font.extents(run).x_advance;
        run.clear();
    };
    for (char c : text) {
        if (c == '*') {
            flush();
            isBold = !isBold;
        } else {
            run += c;
        }
    }
    flush();
    return pen - x;
}

void twinkle(cairo_t* cr, double x, double y, double size, double alpha) {
    Canvas star(static_cast<int>(size), static_cast<int>(size), scaleOf(cr));
    paintTwinkle(star);
    drawCanvas(cr, star, x, y, 0.0, alpha);
}

} // namespace

void paintTintedGem(cairo_t* cr, int sides, double centreX, double centreY, double size,
                    double angle, const float rgb[3]) {
    const int side = static_cast<int>(std::lround(size));
    const GemPainter painter(sides, side);
    Canvas fill(side, side, scaleOf(cr));
    Canvas rim(side, side, scaleOf(cr));
    painter.paint(fill, GemLayer::Fill);
    painter.paint(rim, GemLayer::Outline);
    tint(fill, rgb);
    tint(rim, rgb);
    drawCanvas(cr, fill, centreX, centreY, angle);
    drawCanvas(cr, rim, centreX, centreY, angle);
}

void paintBackground(Canvas& canvas) {
    cairo_t* cr = canvas.cr();
    const std::vector<Point> corners = boardCorners();
    Point middle;
    for (const Point& p : corners) {
        middle.x += p.x / corners.size();
        middle.y += p.y / corners.size();
    }
    sky(cr, middle.x, middle.y, 30.0);

    const double unit = BoardPlane::kPixelsPerUnit;
    const double trayMargin = 3.3 * unit; // beyond the outermost cell centres
    const double trayRound = 3.0 * unit;

    // The tray's shadow, then the tray. The slab is a mid-tone slate rather than dark: the final
    // score is printed over the board in near-black, and must stay readable between the gems,
    // while the saturated gems and the grey of faded ones still stand out against it.
    glow(
        cr, screenWidth, screenHeight, 14, 0.7,
        [&](cairo_t* g) {
            cairo_translate(g, 0, 6);
            roundedPath(g, corners, trayMargin, trayRound);
        },
        [&](cairo_t* g) { cairo_set_source_rgb(g, 0.0, 0.0, 0.02); });

    roundedPath(cr, corners, trayMargin, trayRound);
    cairo_pattern_t* slab = cairo_pattern_create_linear(0, 0, 0, screenHeight);
    const Rgb slabTop = hex(0x7b87a2);
    const Rgb slabBottom = hex(0x58627c);
    cairo_pattern_add_color_stop_rgba(slab, 0.0, slabTop.r, slabTop.g, slabTop.b, 0.92);
    cairo_pattern_add_color_stop_rgba(slab, 1.0, slabBottom.r, slabBottom.g, slabBottom.b, 0.92);
    cairo_set_source(cr, slab);
    cairo_fill(cr);
    cairo_pattern_destroy(slab);

    // A broad sheen from the upper left, where the light comes from.
    cairo_save(cr);
    roundedPath(cr, corners, trayMargin, trayRound);
    cairo_clip(cr);
    cairo_pattern_t* sheen = cairo_pattern_create_radial(middle.x - 260, middle.y - 300, 0,
                                                         middle.x - 260, middle.y - 300, 620);
    cairo_pattern_add_color_stop_rgba(sheen, 0.0, 1, 1, 1, 0.16);
    cairo_pattern_add_color_stop_rgba(sheen, 1.0, 1, 1, 1, 0.0);
    cairo_set_source(cr, sheen);
    cairo_paint(cr);
    cairo_pattern_destroy(sheen);
    cairo_restore(cr);

    // An inset groove just inside the edge.
    roundedPath(cr, corners, trayMargin - 9.0, trayRound - 9.0);
    cairo_set_source_rgba(cr, 0.05, 0.07, 0.12, 0.22);
    cairo_set_line_width(cr, 2.0);
    cairo_stroke(cr);
    roundedPath(cr, corners, trayMargin - 10.5, trayRound - 10.5);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);

    roundedPath(cr, corners, trayMargin - 1.0, trayRound);
    cairo_pattern_t* edge = cairo_pattern_create_linear(0, 0, 0, screenHeight);
    cairo_pattern_add_color_stop_rgba(edge, 0.0, 0.75, 0.85, 1.0, 0.45);
    cairo_pattern_add_color_stop_rgba(edge, 0.5, 0.75, 0.85, 1.0, 0.12);
    cairo_pattern_add_color_stop_rgba(edge, 1.0, 0.0, 0.0, 0.0, 0.35);
    cairo_set_source(cr, edge);
    cairo_set_line_width(cr, 2.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);

    // A socket under every cell: a shallow round well, shadowed at the top (the light comes from
    // the upper left) with a faint lit lip at the bottom right.
    const double socket = 2.75 * unit;
    for (const Point& world : cellCentres()) {
        const Point c = toImage(world);
        cairo_new_path(cr);
        cairo_arc(cr, c.x, c.y, socket, 0, 2 * pi);
        cairo_set_source_rgba(cr, 0.0, 0.0, 0.03, 0.16);
        cairo_fill(cr);

        cairo_pattern_t* inner = cairo_pattern_create_radial(
            c.x + socket * 0.25, c.y + socket * 0.3, socket * 0.2, c.x, c.y, socket);
        cairo_pattern_add_color_stop_rgba(inner, 0.0, 0, 0, 0, 0.0);
        cairo_pattern_add_color_stop_rgba(inner, 0.8, 0, 0, 0, 0.10);
        cairo_pattern_add_color_stop_rgba(inner, 1.0, 0, 0, 0, 0.35);
        cairo_arc(cr, c.x, c.y, socket, 0, 2 * pi);
        cairo_set_source(cr, inner);
        cairo_fill(cr);
        cairo_pattern_destroy(inner);

        cairo_pattern_t* lip =
            cairo_pattern_create_linear(c.x - socket, c.y - socket, c.x + socket, c.y + socket);
        cairo_pattern_add_color_stop_rgba(lip, 0.0, 0.0, 0.0, 0.0, 0.35);
        cairo_pattern_add_color_stop_rgba(lip, 0.5, 0.6, 0.7, 0.9, 0.0);
        cairo_pattern_add_color_stop_rgba(lip, 1.0, 0.7, 0.8, 1.0, 0.30);
        cairo_arc(cr, c.x, c.y, socket - 0.75, 0, 2 * pi);
        cairo_set_line_width(cr, 1.5);
        cairo_set_source(cr, lip);
        cairo_stroke(cr);
        cairo_pattern_destroy(lip);
    }
}

void paintTitle(Canvas& canvas, const Typefaces& faces) {
    cairo_t* cr = canvas.cr();
    const double cx = screenWidth / 2.0;
    sky(cr, cx, 300, 44.0);

    // A flower of seven gems, one of each shape and colour around a pale centre.
    const double clusterY = 222;
    const double gem = 112;
    const double ring = 122;
    const int ringSides[] = {6, 7, 8, 9, 10, 8};
    const int ringColours[] = {2, 4, 0, 5, 1, 3};
    glow(
        cr, screenWidth, screenHeight, 30, 0.55,
        [&](cairo_t* g) {
            for (int k = 0; k < 6; ++k) {
                const double a = -pi / 2 + k * pi / 3;
                cairo_new_sub_path(g);
                cairo_arc(g, cx + ring * std::cos(a), clusterY + ring * std::sin(a), gem * 0.45, 0,
                          2 * pi);
            }
            cairo_new_sub_path(g);
            cairo_arc(g, cx, clusterY, gem * 0.45, 0, 2 * pi);
        },
        [&](cairo_t* g) {
            cairo_pattern_t* p = rainbow(cx - ring - gem / 2, cx + ring + gem / 2, 0.2);
            cairo_set_source(g, p);
            cairo_pattern_destroy(p);
        });
    for (int k = 0; k < 6; ++k) {
        const double a = -pi / 2 + k * pi / 3;
        paintTintedGem(cr, ringSides[k], cx + ring * std::cos(a), clusterY + ring * std::sin(a),
                       gem, 0.2 * k, gemColours[ringColours[k]]);
    }
    const float white[3] = {1.0f, 1.0f, 1.0f};
    paintTintedGem(cr, 6, cx, clusterY, gem, pi / 6, white);
    twinkle(cr, cx - 24, clusterY - 26, 90, 0.95);
    twinkle(cr, cx + ring * 0.87 + 20, clusterY - ring * 0.5 - 18, 64, 0.85);
    twinkle(cr, cx - ring * 0.87 - 14, clusterY + ring * 0.5 + 22, 54, 0.7);

    heading(cr, {faces.heading(), 158}, "Hexaglint", cx, 526, 18);

    useStyle(cr, {faces.body(), 26});
    const std::string tagline = "Keep the colours alive. Lock them together.";
    const LayoutFont taglineFont(cr);
    const cairo_text_extents_t extents = taglineFont.extents(tagline);
    cairo_move_to(cr, cx - extents.width / 2 - extents.x_bearing, 622);
    cairo_set_source_rgba(cr, 0.80, 0.86, 0.96, 0.9);
    taglineFont.set(cr, tagline, false);

    const std::string click = "Click to continue";
    const TextStyle clickStyle{faces.heading(), 40};
    glow(
        cr, screenWidth, screenHeight, 10, 0.8,
        [&](cairo_t* g) { centredTextPath(g, clickStyle, click, cx, 708); },
        [&](cairo_t* g) { cairo_set_source_rgb(g, 1.0, 0.75, 0.3); });
    centredTextPath(cr, clickStyle, click, cx, 708);
    cairo_set_source_rgb(cr, 1.0, 0.93, 0.78);
    cairo_fill(cr);
}

void paintInstructions(Canvas& canvas, const Typefaces& faces) {
    cairo_t* cr = canvas.cr();
    const double cx = screenWidth / 2.0;
    sky(cr, cx, 330, 44.0);

    heading(cr, {faces.heading(), 92}, "How to play", cx, 122, 12);

    // A quiet panel under the rules.
    const double panelX = 70;
    const double panelY = 172;
    const double panelW = screenWidth - 2 * panelX;
    const double panelH = 448;
    const double corner = 22;
    cairo_new_path(cr);
    cairo_arc(cr, panelX + panelW - corner, panelY + corner, corner, -pi / 2, 0);
    cairo_arc(cr, panelX + panelW - corner, panelY + panelH - corner, corner, 0, pi / 2);
    cairo_arc(cr, panelX + corner, panelY + panelH - corner, corner, pi / 2, pi);
    cairo_arc(cr, panelX + corner, panelY + corner, corner, pi, 3 * pi / 2);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0.55, 0.65, 0.85, 0.08);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0.75, 0.85, 1.0, 0.18);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);

    const char* const rules[] = {
        "Loose gems *fade*, and die when their colour is gone.",
        "*Pass the pointer* over gems to keep them alive.",
        "*Click* a gem to revive it with a spin.",
        "*Click a gem, then a neighbour,* to swap the two.",
        "Swap a gem next to *its own colour*: the group *locks*.",
        "Your *score* is the number of locked gems.",
        "The game ends when *five or fewer* loose gems are left.",
    };
    const int bulletSides[] = {6, 7, 8, 9, 10, 6, 8};
    const int bulletColours[] = {0, 5, 1, 3, 2, 4, 0};
    const TextStyle regular{faces.body(), 26};
    const TextStyle bold{faces.bold(), 26};
    const Rgb plain = hex(0xd8e0ee);
    const Rgb strong = hex(0xffffff);
    // The block of bullets and lines is centred as a whole, so the panel's margins match.
    const double bulletSpace = 56;
    double widest = 0;
    for (const char* rule : rules) {
        widest = std::max(widest, richLine(cr, regular, bold, rule, 0, 0, plain, strong, false));
    }
    const double left = (screenWidth - bulletSpace - widest) / 2;
    double y = panelY + 62;
    for (int i = 0; i < 7; ++i) {
        paintTintedGem(cr, bulletSides[i], left + 16, y - 9, 40, 0.0, gemColours[bulletColours[i]]);
        richLine(cr, regular, bold, rules[i], left + bulletSpace, y, plain, strong);
        y += 58;
    }

    const std::string click = "Click to begin";
    const TextStyle clickStyle{faces.heading(), 52};
    glow(
        cr, screenWidth, screenHeight, 12, 0.85,
        [&](cairo_t* g) { centredTextPath(g, clickStyle, click, cx, 706); },
        [&](cairo_t* g) { cairo_set_source_rgb(g, 1.0, 0.72, 0.25); });
    centredTextPath(cr, clickStyle, click, cx, 706);
    cairo_set_source_rgb(cr, 1.0, 0.94, 0.80);
    cairo_fill(cr);
}
