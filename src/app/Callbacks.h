#pragma once
// The toolkit's callbacks: each one hands its event to the singleton that owns it.

void onReshape(int width, int height);
void onDisplay();
void onIdle();
void onMotion(int x, int y);
void onPassiveMotion(int x, int y);
void onMouse(int button, int state, int x, int y);
// Keys play no part in the game.
void onKey(unsigned char key, int x, int y);
void onSpecialKey(int key, int x, int y);

// Registers every callback above with the toolkit, for the current window, with the window
// status that paces the frames (Visibility.h); has the process end with that window
// (endWithWindow, WindowLoss.h) and starts hearing what the desktop does around it, which the
// toolkit does not report (DesktopWatch).
void registerCallbacks();
// Acts on the desktop's news since the last call; never waits. The idle callback calls it, so
// news is heard within a frame while frames are drawn, and so does the check that runs while the
// window manager keeps the window minimised (Visibility.h).
void hearDesktop();
