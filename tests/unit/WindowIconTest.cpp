#include "desktop/WindowIcon.h"

#include "gfx/PngTexture.h"

// GoogleTest before Xlib, whose macros (None, Bool) would rename GoogleTest's own words.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <vector>

// Every painted size up to the largest, each entry its file's picture as 0xAARRGGBB.
TEST(WindowIcon, TheWindowCarriesEachSizeUpToTheLargestAsItsFileHoldsIt) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X display";
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 8, 8, 0, 0, 0);
    setWindowIcon(display, window);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned long* icon = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), 0, 1 << 20,
                       False, XA_CARDINAL, &type, &format, &count, &after,
                       reinterpret_cast<unsigned char**>(&icon));
    ASSERT_NE(icon, nullptr);
    std::vector<unsigned long> sizes;
    for (unsigned long at = 0; at + 2 <= count; at += 2 + icon[at] * icon[at + 1]) {
        const unsigned side = static_cast<unsigned>(icon[at]);
        sizes.push_back(side);
        PngImage image;
        const std::string file = "./images/" + iconFileName(static_cast<int>(side));
        ASSERT_TRUE(decodePngFile(file.c_str(), side, true, image) && image.height == side &&
                    icon[at + 1] == side && at + 2 + side * side <= count);
        for (unsigned i = 0; i < side * side; ++i) {
            const unsigned char* p = &image.pixels[i * image.channels];
            const unsigned long alpha = image.channels == 4 ? p[3] : 0xffu;
            // Xlib widens each 32-bit item it reads with its sign.
            ASSERT_EQ(icon[at + 2 + i] & 0xffffffffu, alpha << 24 | p[0] << 16 | p[1] << 8 | p[2])
                << side << " px, pixel " << i;
        }
    }
    XFree(icon);
    XCloseDisplay(display);
    EXPECT_EQ(sizes, (std::vector<unsigned long>{16, 32, 48, 64, 128}));
}
