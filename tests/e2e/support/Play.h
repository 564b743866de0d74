#pragma once
// What a player reads off the play screen: where each cell shows in the window and which of the
// six gem colours a pixel is.

#include "Display.h"

#include <array>
#include <string>

struct WindowPoint {
    int x = 0;
    int y = 0;
};

// The window pixel at a board-plane point; the window shows x -50..50 and y 75..0.
WindowPoint windowPointOf(double x, double y);
// The window pixel at the centre of a cell.
WindowPoint cellPixel(int cell);

// The gem colour index (0 green, 1 blue, 2 red, 3 magenta, 4 yellow, 5 cyan) that a pixel shows,
// or -1 for a grey, white or dark pixel.
int gemColourOf(const Screenshot::Pixel& pixel);
// How far a pixel is from grey: the spread between its strongest and weakest channel.
int saturation(const Screenshot::Pixel& pixel);

// Whether the game-over screen's dark "Final Score" label is over the board: its dark strokes in
// the tray between the gems, where nothing else on the play screen is as dark.
bool showsFinalScore(const Screenshot& shot);
// How many dark grey (text) pixels lie in a window rectangle.
int darkPixels(const Screenshot& shot, int left, int top, int right, int bottom);

// Starts from the title and presses through to the play screen at the bottom right corner of the
// window, where no gem lies; play, if given, gets its first picture. A fatal failure when a
// screen never shows: call it under ASSERT_NO_FATAL_FAILURE.
void enterPlay(XDisplay& display, Window window, Screenshot* play = nullptr);
