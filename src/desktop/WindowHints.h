#pragma once
// What the window tells the desktop about itself before it is first shown: its one size and place,
// fitted to the room the screen has, and which program it belongs to. The toolkit has no call for
// either, so this talks to X directly.

#include "desktop/WindowPlacement.h"

// Where the window goes and how large it is: the picture's size times the desktop's scale, at
// (x, y) where the screen has room for it and the window manager's frame, moved or shrunk to fit
// where it has not (placeWindow). Asks the X server and the window manager on a connection of its
// own, before the toolkit makes its window.
ScreenRect planWindow(int x, int y, int pictureWidth, int pictureHeight);

// Sets the size hints (minimum = maximum = the planned size, at the planned place) and the class
// ("hexaglint", "Hexaglint") on the toolkit's current window. Window managers read these when they
// take a window on, and the toolkit maps its window as it creates it, so the window is withdrawn
// and mapped again once, already in its place; call it straight after creating the window, before
// any frame is drawn, so nothing flashes or jumps.
void declareFixedSizeWindow(const ScreenRect& place);
