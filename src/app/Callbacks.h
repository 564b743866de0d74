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
// status that paces the frames (Visibility.h).
void registerCallbacks();

struct WindowPlan;
// From here on, follows what the desktop does around the current window, which the toolkit does
// not report (DesktopWatch): the game ends with the window, and the window is kept whole on the
// screen as the screen, the work area and its frame change (WindowKeeper), View learning each new
// size. Call once the window is declared (declareFixedSizeWindow).
void followDesktop(const WindowPlan& plan);
// Acts on the desktop's news since the last call; never waits. The idle callback calls it, so
// news is heard within a frame while frames are drawn, and while the window cannot be seen a
// toolkit timer does (Visibility.h).
void hearDesktop();
