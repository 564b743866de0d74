#pragma once
// A window destroyed by another client (xdotool windowclose, a crashed window manager's clean-up)
// ends the game as its close button does. The toolkit drops the destruction notice, so left
// alone the game would either die on an X error or, when the window was first seen unmapped,
// keep running without it.

// Watches the toolkit's current window: ends the process with status 0 on the X error that
// drawing into it gives once it is gone. Call once, with the window's context current, straight
// after the window is made: from then on, its end at any moment is the game's.
void endWithWindow();

// Asks the server whether the watched window still exists, which ends the process when it does
// not. An unmapped window is never drawn into, so no error would tell: call it on every unmap
// (the toolkit's GLUT_HIDDEN), which is also how iconifying shows.
void checkWindowStillThere();

// Ends the process with status 0 at once, as closing the window does: for a window found gone.
[[noreturn]] void endWithoutWindow();
