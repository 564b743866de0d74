#pragma once
// The room X and the window manager give a window, read the same way when the window is planned
// and whenever the desktop changes around it: the screen, the monitor, the work area that panels
// leave, and the size hints by which the window asks for its share. Only the desktop's own files
// include this; the game sees the arithmetic in WindowPlacement.h.

#include "desktop/WindowPlacement.h"

#include <X11/Xlib.h>

#include <optional>

// The whole screen (every monitor's bounding box), as the server measures it now.
PixelRect screenOf(Display* display);

// A window's place in its parent and its outer size, borders included; nothing when the window is
// gone (another client's window may be, by the time it is asked about).
std::optional<PixelRect> outerGeometryOf(Display* display, ::Window window);

// The part of the monitor showing the point that panels and docks leave to windows, where the
// window manager says; the first monitor where none shows the point, the screen where the server
// reports no monitors. Any work area that is not a part of the screen is ignored.
PixelRect roomAt(Display* display, int x, int y);

// Whether a window manager that follows the desktop hints (EWMH) runs: its check window names
// itself, so a property left by one that has gone does not count.
bool windowManagerRuns(Display* display);
// Whether that window manager lists the hint among those it supports.
bool supports(Display* display, const char* hint);

// Sets the hints a window of one size gives: position, size, and minimum = maximum = that size.
void setFixedSizeHints(Display* display, ::Window window, const PixelRect& place);
