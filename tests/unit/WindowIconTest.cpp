#include "desktop/WindowIcon.h"

#include "gfx/PngTexture.h"

// GoogleTest before Xlib, whose macros (None, Bool) would rename GoogleTest's own words.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <vector>

// The window carries every painted size up to kWindowIconLargestSize, each entry the picture in
// its file, pixel for pixel as 0xAARRGGBB.
TEST(WindowIcon, TheWindowCarriesEachSizeUpToTheLargestAsItsFileHoldsIt) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X display";
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 8, 8, 0, 0, 0);
    setWindowIcon(display, window);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), 0, 1 << 20,
                       False, XA_CARDINAL, &type, &format, &count, &after, &data);
    ASSERT_NE(data, nullptr);
    const std::vector<unsigned long> icon(reinterpret_cast<unsigned long*>(data),
                                          reinterpret_cast<unsigned long*>(data) + count);
    XFree(data);
    XCloseDisplay(display);

    std::vector<unsigned long> sizes;
    for (std::size_t at = 0; at + 2 <= icon.size(); at += 2 + icon[at] * icon[at + 1]) {
        const unsigned side = static_cast<unsigned>(icon[at]);
        sizes.push_back(side);
        PngImage image;
        ASSERT_TRUE(decodePngFile(("./images/" + iconFileName(static_cast<int>(side))).c_str(),
                                  side, true, image));
        ASSERT_EQ(icon[at + 1], image.height);
        ASSERT_LE(at + 2 + std::size_t{side} * side, icon.size());
        for (std::size_t i = 0; i < std::size_t{side} * side; ++i) {
            const unsigned char* p = &image.pixels[i * image.channels];
            const unsigned long alpha = image.channels == 4 ? p[3] : 0xffu;
            // Xlib widens each 32-bit item it reads with its sign.
            ASSERT_EQ(icon[at + 2 + i] & 0xffffffffu, alpha << 24 | p[0] << 16 | p[1] << 8 | p[2])
                << side << " px, pixel " << i;
        }
    }
    EXPECT_EQ(sizes, (std::vector<unsigned long>{16, 32, 48, 64, 128}));
}
