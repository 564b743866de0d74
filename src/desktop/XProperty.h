#pragma once
// Reading what other clients wrote on a window: the window manager's hints on the root window and
// on the game's own. Those are another program's data, so nothing is read past what the server
// says it holds, and a property of the wrong type or format reads as absent. Another program's
// window may also be gone by the time it is asked about (a manager's stale check window, a frame
// torn down), which costs that one answer, not the game.

#include <X11/Xlib.h>

#include <functional>
#include <vector>

// A property of 32-bit items (CARDINAL, ATOM, WINDOW, WM_STATE), which Xlib hands over as longs;
// empty when the window has no such property of that type, or no longer exists. At most
// kMostPropertyItems are read: no property the game reads holds more than a few per desktop.
constexpr long kMostPropertyItems = 1024;
std::vector<long> readLongs(Display* display, ::Window window, Atom property, Atom type);
std::vector<long> readLongs(Display* display, ::Window window, const char* property, Atom type);

// Runs requests about windows that may have gone and waits for their outcome: false when the
// server answered any of them with an error, which is then dropped instead of reaching the
// process's error handler (Xlib's own ends the process). Errors of other connections, and of
// requests sent before, still go there.
bool withoutXErrors(Display* display, const std::function<void()>& requests);
