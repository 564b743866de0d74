#pragma once
// What the window tells the desktop about itself: that it has one fixed size, and which program
// it belongs to. The toolkit has no call for either, so this talks to X directly.

// Sets the size hints (minimum = maximum = the given size, at the given position) and the class
// ("hexaglint", "Hexaglint") on the toolkit's current window. Window managers read these when they
// take a window on, and the toolkit maps its window as it creates it, so the window is withdrawn
// and mapped again once, already in its place; call it straight after creating the window, before
// any frame is drawn, so nothing flashes or jumps.
void declareFixedSizeWindow(int x, int y, int width, int height);
