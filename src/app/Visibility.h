#pragma once
// Frames only while the player can see the window. Nothing the game draws shows while its window
// is unmapped (minimised, on another workspace), wholly covered, or minimised by a window manager
// that keeps it mapped (a Wayland desktop's, through Xwayland), and nothing in play moves but in
// frames: so then the game asks for no frames, the toolkit's loop sleeps in its wait, waking four
// times a second to hear the desktop (hearDesktop, Callbacks.h), and play stands still. Shown
// again, frames resume at once; the first one measures the whole pause and is clamped like any
// long frame.

// The toolkit's window-status callback: GLUT_HIDDEN when the window is unmapped, and
// GLUT_FULLY_COVERED, GLUT_PARTIALLY_RETAINED or GLUT_FULLY_RETAINED as other windows cover and
// uncover it. Also has the process end with a window that an unmap shows to be destroyed
// (checkWindowStillThere, WindowLoss.h).
void onWindowStatus(int status);

// The window manager's word on whether the window is minimised (DesktopWatch::minimised), from
// the desktop's news: the toolkit hears nothing when a manager minimises a window and keeps it
// mapped, nor when it restores it.
void onManagerMinimised(bool minimised);

// Whether the player can see the window, as far as the desktop has said.
bool windowSeen();
