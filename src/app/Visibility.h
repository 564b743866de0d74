#pragma once
// Frames only while the player can see the window. Nothing the game draws shows while its window
// is unmapped (minimised, on another workspace) or wholly covered, and nothing in play moves but
// in frames: so then the game asks for no frames, the toolkit's loop sleeps until the desktop has
// news for it, and play stands still. Shown again, frames resume at once; the first one measures
// the whole pause and is clamped like any long frame.

// The toolkit's window-status callback: GLUT_HIDDEN when the window is unmapped, and
// GLUT_FULLY_COVERED, GLUT_PARTIALLY_RETAINED or GLUT_FULLY_RETAINED as other windows cover and
// uncover it. Also has the process end with a window that an unmap shows to be destroyed
// (checkWindowStillThere, WindowLoss.h).
void onWindowStatus(int status);
