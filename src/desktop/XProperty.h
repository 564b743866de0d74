#pragma once
// Reading what other clients wrote on a window: the window manager's hints on the root window and
// on the game's own. Those are another program's data, so nothing is read past what the server
// says it holds, and a property of the wrong type or format reads as absent.

#include <X11/Xlib.h>

#include <vector>

// A property of 32-bit items (CARDINAL, ATOM, WINDOW, WM_STATE), which Xlib hands over as longs;
// empty when the window has no such property of that type. At most kMostPropertyItems are read:
// no property the game reads holds more than a few per desktop.
constexpr long kMostPropertyItems = 1024;
std::vector<long> readLongs(Display* display, ::Window window, Atom property, Atom type);
std::vector<long> readLongs(Display* display, ::Window window, const char* property, Atom type);
