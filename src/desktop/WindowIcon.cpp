#include "desktop/WindowIcon.h"

#include "gfx/PngTexture.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <vector>

namespace {

// Appends one picture as _NET_WM_ICON lays it out: width, height, then each pixel, rows top
// first, as 0xAARRGGBB in the low 32 bits of a long (Xlib sends longs as 32-bit CARDINALs).
void appendIcon(const PngImage& image, std::vector<unsigned long>& out) {
    out.push_back(image.width);
    out.push_back(image.height);
    const unsigned char* p = image.pixels.data();
    const std::size_t count = std::size_t{image.width} * image.height;
    for (std::size_t i = 0; i < count; ++i, p += image.channels) {
        const unsigned long alpha = image.channels == 4 ? p[3] : 0xffu;
        out.push_back(alpha << 24 | static_cast<unsigned long>(p[0]) << 16 |
                      static_cast<unsigned long>(p[1]) << 8 | p[2]);
    }
}

} // namespace

void setWindowIcon(_XDisplay* display, unsigned long window) {
    std::vector<unsigned long> icon;
    for (const int size : kIconSizes) {
        PngImage image;
        // A file larger than its name says is not that icon; refusing it keeps a damaged one cheap.
        if (size <= kWindowIconLargestSize &&
            decodePngFile(("./images/" + iconFileName(size)).c_str(), static_cast<unsigned>(size),
                          true, image)) {
            appendIcon(image, icon);
        }
    }
    if (icon.empty()) {
        return;
    }
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(icon.data()),
                    static_cast<int>(icon.size()));
}
