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

// Where the game's picture shows in a screenshot: the bounding box of every pixel that is not the
// black of the bars a window of another shape leaves around it. Meant for the play screen, whose
// background is dark to its edges.
struct PictureRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
PictureRect pictureRectOf(const Screenshot& shot);
// A pixel of the game's own 1024 x 768 picture (cellPixel) where the picture shows scaled.
WindowPoint placeIn(const PictureRect& rect, WindowPoint point);

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

// Waits for the game's window, for its first picture and then for the window to stay in place.
// A window manager may move the window once more when the game's loop starts, after its
// start-up: the toolkit carries out the game's position request only there. 0 when no window
// appears in time.
Window waitForDrawnWindow(XDisplay& display, std::chrono::milliseconds timeout);

// Starts from the title and presses through to the play screen at the bottom right corner of the
// window, where no gem lies; play, if given, gets its first picture. A fatal failure when a
// screen never shows: call it under ASSERT_NO_FATAL_FAILURE.
void enterPlay(XDisplay& display, Window window, Screenshot* play = nullptr);
