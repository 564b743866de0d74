#include "art/Canvas.h"

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

Canvas::Canvas(int width, int height, int scale)
    : pixelsPerUnit(scale),
      image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale, height * scale)) {
    // Set before the context is made, whose device transform it becomes.
    cairo_surface_set_device_scale(image, scale, scale);
    context = cairo_create(image);
}

int scaleOf(cairo_t* cr) {
    double x = 1.0;
    double y = 1.0;
    cairo_surface_get_device_scale(cairo_get_target(cr), &x, &y);
    return static_cast<int>(x);
}

Canvas::~Canvas() {
    cairo_destroy(context);
    cairo_surface_destroy(image);
}

namespace {

// One box pass along a line of premultiplied channels; edges repeat the outermost value.
void boxLine(const float* in, float* out, int count, int stride, int radius) {
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    float sum = 0.0f;
    for (int i = -radius; i <= radius; ++i) {
        sum += in[std::clamp(i, 0, count - 1) * stride];
    }
    for (int i = 0; i < count; ++i) {
        out[i * stride] = sum * scale;
        sum += in[std::min(i + radius + 1, count - 1) * stride];
        sum -= in[std::max(i - radius, 0) * stride];
    }
}

} // namespace

void blur(Canvas& canvas, int radius) {
    if (radius <= 0) {
        return;
    }
    radius *= canvas.scale();
    cairo_surface_flush(canvas.surface());
    const int w = canvas.width();
    const int h = canvas.height();
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    unsigned char* data = cairo_image_surface_get_data(canvas.surface());

    // Premultiplied channels blur correctly as they are; work in floats to avoid banding.
    std::vector<float> a(static_cast<size_t>(w) * h * 4);
    std::vector<float> b(a.size());
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 4; ++c) {
                a[(static_cast<size_t>(y) * w + x) * 4 + c] =
                    static_cast<float>((row[x] >> (8 * c)) & 0xff);
            }
        }
    }
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            for (int c = 0; c < 4; ++c) {
                const size_t base = static_cast<size_t>(y) * w * 4 + c;
                boxLine(&a[base], &b[base], w, 4, radius);
            }
        }
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 4; ++c) {
                const size_t base = static_cast<size_t>(x) * 4 + c;
                boxLine(&b[base], &a[base], h, w * 4, radius);
            }
        }
    }
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t v = 0;
            const float* p = &a[(static_cast<size_t>(y) * w + x) * 4];
            const float alpha = std::clamp(p[3] + 0.5f, 0.0f, 255.0f);
            for (int c = 0; c < 4; ++c) {
                // Rounding could leave a colour channel above alpha, which cairo forbids.
                const float value = std::clamp(p[c] + 0.5f, 0.0f, alpha);
                v |= static_cast<uint32_t>(value) << (8 * c);
            }
            row[x] = v;
        }
    }
    cairo_surface_mark_dirty(canvas.surface());
}

void shrink(const Canvas& large, Canvas& small) {
    cairo_surface_flush(large.surface());
    cairo_surface_flush(small.surface());
    const int factor = large.width() / small.width();
    const int inStride = cairo_image_surface_get_stride(large.surface());
    const int outStride = cairo_image_surface_get_stride(small.surface());
    const unsigned char* in = cairo_image_surface_get_data(large.surface());
    unsigned char* out = cairo_image_surface_get_data(small.surface());
    const uint32_t area = static_cast<uint32_t>(factor * factor);
    for (int y = 0; y < small.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(out + y * outStride);
        for (int x = 0; x < small.width(); ++x) {
            uint32_t sum[4] = {};
            for (int dy = 0; dy < factor; ++dy) {
                const auto* block =
                    reinterpret_cast<const uint32_t*>(in + (y * factor + dy) * inStride) +
                    x * factor;
                for (int dx = 0; dx < factor; ++dx) {
                    for (int c = 0; c < 4; ++c) {
                        sum[c] += (block[dx] >> (8 * c)) & 0xff;
                    }
                }
            }
            uint32_t v = 0;
            for (int c = 0; c < 4; ++c) {
                v |= (sum[c] + area / 2) / area << (8 * c);
            }
            row[x] = v;
        }
    }
    cairo_surface_mark_dirty(small.surface());
}

Pixels toPixels(const Canvas& canvas) {
    cairo_surface_flush(canvas.surface());
    const int w = canvas.width();
    const int h = canvas.height();
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    const unsigned char* data = cairo_image_surface_get_data(canvas.surface());

    // Below this alpha an 8-bit premultiplied value no longer pins down the colour well.
    constexpr uint32_t solidAlpha = 96;
    Pixels out;
    out.width = w;
    out.height = h;
    out.rgba.assign(static_cast<size_t>(w) * h * 4, 0);
    std::vector<char> known(static_cast<size_t>(w) * h, 0);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            const uint32_t v = row[x];
            const uint32_t alpha = v >> 24;
            unsigned char* p = &out.rgba[(static_cast<size_t>(y) * w + x) * 4];
            p[3] = static_cast<unsigned char>(alpha);
            if (alpha >= solidAlpha) {
                for (int c = 0; c < 3; ++c) {
                    const uint32_t premultiplied = (v >> (16 - 8 * c)) & 0xff;
                    p[c] = static_cast<unsigned char>(
                        std::min<uint32_t>(255, (premultiplied * 255 + alpha / 2) / alpha));
                }
                known[static_cast<size_t>(y) * w + x] = 1;
            }
        }
    }

    // Grow the trusted colours outwards one ring at a time, averaging the known neighbours.
    bool grew = true;
    while (grew) {
        grew = false;
        std::vector<char> next = known;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (known[static_cast<size_t>(y) * w + x]) {
                    continue;
                }
                int sum[3] = {0, 0, 0};
                int count = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx;
                        const int ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= w || ny >= h ||
                            !known[static_cast<size_t>(ny) * w + nx]) {
                            continue;
                        }
                        const unsigned char* q = &out.rgba[(static_cast<size_t>(ny) * w + nx) * 4];
                        for (int c = 0; c < 3; ++c) {
                            sum[c] += q[c];
                        }
                        ++count;
                    }
                }
                if (count > 0) {
                    unsigned char* p = &out.rgba[(static_cast<size_t>(y) * w + x) * 4];
                    for (int c = 0; c < 3; ++c) {
                        p[c] = static_cast<unsigned char>((sum[c] + count / 2) / count);
                    }
                    next[static_cast<size_t>(y) * w + x] = 1;
                    grew = true;
                }
            }
        }
        known.swap(next);
    }
    return out;
}

namespace {

// libpng's part of writing, apart so that its error jump skips no live locals.
bool encodePng(png_structp png, png_infop info, std::FILE* file, int width, int height,
               bool withAlpha, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // The game decodes every picture at each start. Rows filtered with Sub or Up are undone in
    // one cheap pass, where Average and Paeth, which libpng's own choice mixes in, cost several
    // times as much a byte: the backdrops decode about a quarter faster, and at the highest
    // compression level the files come out no larger.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB | PNG_FILTER_UP);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool writePng(const Pixels& pixels, const std::string& path, bool withAlpha) {
    const int channels = withAlpha ? 4 : 3;
    std::vector<unsigned char> bytes;
    const unsigned char* buffer = pixels.rgba.data();
    if (!withAlpha) {
        bytes.reserve(pixels.rgba.size() / 4 * 3);
        for (size_t i = 0; i < pixels.rgba.size(); i += 4) {
            bytes.insert(bytes.end(), &pixels.rgba[i], &pixels.rgba[i] + 3);
        }
        buffer = bytes.data();
    }
    std::vector<png_bytep> rows(static_cast<size_t>(pixels.height));
    for (size_t y = 0; y < rows.size(); ++y) {
        rows[y] = const_cast<png_bytep>(buffer + y * static_cast<size_t>(pixels.width) * channels);
    }

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool ok = info != nullptr &&
                    encodePng(png, info, file, pixels.width, pixels.height, withAlpha, rows.data());
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}

bool readPng(const std::string& path, Pixels& out) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    const bool ok = png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}
