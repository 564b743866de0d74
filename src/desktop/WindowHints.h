#pragma once
// What the window tells the desktop about itself before it is first shown: its one size and place,
// fitted to the room the screen has, and which program it belongs to. The toolkit has no call for
// either, so this talks to X directly.

#include "desktop/WindowPlacement.h"

// The window as planned before it is made.
struct WindowPlan {
    // Where the window opens and how large: placeWindow's answer.
    PixelRect place;
    // The picture's size times the desktop's scale: the window's size wherever there is room.
    int fullWidth = 0;
    int fullHeight = 0;
};

// Where the window goes and how large it is: the picture's size times the desktop's scale, at
// (x, y) where the screen has room for it and the window manager's frame, moved or shrunk to fit
// where it has not (placeWindow). Asks the X server and the window manager on a connection of its
// own, before the toolkit makes its window. A manager that does not say how large its frame will
// be is taken to draw a common title bar; the frame it really draws is looked at once the window
// shows (WindowKeeper).
WindowPlan planWindow(int x, int y, int pictureWidth, int pictureHeight);

// Sets the size hints (minimum = maximum = the planned size, at the planned place), the class
// ("hexaglint", the game's name) and the name desktops show (_NET_WM_NAME, UTF-8) on the toolkit's
// current window. Window managers read these when they take a window on, and the toolkit maps its
// window as it creates it, so the window is withdrawn and mapped again once, already in its place;
// call it straight after creating the window, before any frame is drawn, so nothing flashes or
// jumps.
void declareFixedSizeWindow(const PixelRect& place);
