#pragma once
// A real GL context for tests and benchmarks: one hidden freeglut window on the X display,
// created on first use and kept for the life of the process.

// Makes sure the window exists and its context is current, with the game's view set up
// (viewport 1024 x 768, its projection and camera) and gems built from then on loading the gem
// art, as in the game. Returns false when no display is reachable.
bool ensureGlContext();
