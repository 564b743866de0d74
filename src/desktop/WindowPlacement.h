#pragma once
// Where the window opens and how large: the picture's 1024 x 768, times the desktop's scale,
// wherever the screen has room for it with the window manager's frame around it; moved or shrunk
// (keeping 4:3) where it has not, so no row of gems ever lies beyond the screen's edge, out of
// reach of the pointer. The arithmetic is kept apart from X so it can be checked on its own.

// A rectangle on the screen, in pixels from the root window's top left.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// What a window manager adds around a window: a title bar, borders.
struct FrameExtents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// The window's own size, and where its frame's top left goes (the window manager puts the frame's
// corner where a window asks to be, as the size hints' north-west gravity says).
ScreenRect placeWindow(const ScreenRect& room, const FrameExtents& frame, int wantedWidth,
                       int wantedHeight, int preferredX, int preferredY);

// The desktop's scale for this program: GDK_SCALE where it is set (a whole number), otherwise
// the X resources' Xft.dpi over 96, as desktops set it on X11. Scales below 1.25 count as 1, so a
// desktop a hair off 96 dpi keeps the picture pixel for pixel.
double desktopScale(const char* resources, const char* gdkScale);

// The picture's size times the scale, rounded to whole pixels.
int scaledLength(int length, double scale);
