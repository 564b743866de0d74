#pragma once
// Where the window goes and how large: the picture's 1024 x 768, times the desktop's scale,
// wherever the screen has room for it with the window manager's frame around it; moved or shrunk
// (keeping 4:3) where it has not, so no row of gems ever lies beyond the screen's edge, out of
// reach of the pointer. Also the numbers the desktop reports, checked before any of them is used:
// a faulty pager or window manager may publish anything. The arithmetic is kept apart from X so
// it can be checked on its own.

#include <optional>
#include <vector>

// A rectangle in pixels: on the screen, from the root window's top left, or in a window, from the
// window's top left.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

bool operator==(const PixelRect& a, const PixelRect& b);
inline bool operator!=(const PixelRect& a, const PixelRect& b) {
    return !(a == b);
}

// What a window manager adds around a window: a title bar, borders.
struct FrameExtents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// The largest rectangle of the shape shapeWidth : shapeHeight inside the box, centred in it.
// Whichever side runs out first sets the size; the other is rounded to the nearest pixel, never
// past the box. Empty for an empty box or shape.
PixelRect fitShape(const PixelRect& box, int shapeWidth, int shapeHeight);

// The part of both rectangles; empty (no width, no height) where they do not meet.
PixelRect intersection(const PixelRect& a, const PixelRect& b);

// The window's own size, and where its frame's top left goes (the window manager puts the frame's
// corner where a window asks to be, as the size hints' north-west gravity says). Any room, frame
// and wish give a window of at least kSmallestWindow's size inside the int range.
PixelRect placeWindow(const PixelRect& room, const FrameExtents& frame, int wantedWidth,
                      int wantedHeight, int preferredX, int preferredY);

// However cramped the room, the window keeps a size at which the gems can still be told apart.
constexpr int kSmallestWindowWidth = 320;
constexpr int kSmallestWindowHeight = 240;

// The desktop's numbers as X hands over a 32-bit property: each item in a long, whatever its
// sign. The readers below take each item as the unsigned 32-bit number the property holds.
using PropertyItems = std::vector<long>;

// The frame from a _NET_FRAME_EXTENTS value (left, right, top, bottom) where it is one a window on
// this screen can have: four items, and borders that leave some of the screen between them.
std::optional<FrameExtents> frameFromExtents(const PropertyItems& extents, const PixelRect& screen);

// The frame a window manager put round a window, from where the window shows on the screen and
// where its frame window does (the manager's top-level window that holds it, border and all),
// where the frame holds the window whole and is one a window on this screen can have.
std::optional<FrameExtents> frameAround(const PixelRect& window, const PixelRect& frame,
                                        const PixelRect& screen);

// The work area of the current desktop, from _NET_WORKAREA (x, y, width, height for each desktop)
// and _NET_CURRENT_DESKTOP (none counts as the first), where the desktop is one the list holds
// and its area a part of the screen that is not empty.
std::optional<PixelRect> workAreaOf(const PropertyItems& areas, const PropertyItems& currentDesktop,
                                    const PixelRect& screen);

// The desktop's scale for this program: GDK_SCALE where it is set (a whole number), otherwise
// the X resources' Xft.dpi over 96, as desktops set it on X11, read as Xlib's resource manager
// reads any resource (so "*dpi:" counts too). Scales below 1.25 count as 1, so a desktop a hair
// off 96 dpi keeps the picture pixel for pixel.
double desktopScale(const char* resources, const char* gdkScale);

// The picture's size times the scale, rounded to whole pixels.
int scaledLength(int length, double scale);
