#pragma once
// A window destroyed by another client (xdotool windowclose, a crashed window manager's clean-up)
// ends the game as its close button does. The toolkit drops the destruction notice, so left
// alone the game would either die on an X error or, when the window was first seen unmapped,
// keep running without it.

// Watches the toolkit's current window: ends the process with status 0 on the X error that
// drawing into it gives once it is gone, and whenever it is unmapped, asks the server whether it
// still exists (an unmap is also how iconifying shows). Registers the toolkit's window-status
// callback; call once, with the window's context current, straight after the window is made:
// from then on, its end at any moment is the game's.
void endWithWindow();

// Ends the process with status 0 at once, as closing the window does: for a window found gone.
[[noreturn]] void endWithoutWindow();
