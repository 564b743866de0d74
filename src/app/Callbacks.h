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
// status that paces the frames (Visibility.h), and has the process end with that window
// (endWithWindow, WindowLoss.h).
void registerCallbacks();
