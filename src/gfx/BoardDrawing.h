#pragma once
// Drawing the board: every gem as a tinted body with its rim on top, its sparkles, and the
// pulsing gems last and enlarged so they overlap their neighbours.

#include <array>

class Board;
class Gem;
struct Sparkle;

// The six gem colours, red, green and blue, indexed by a gem's colour.
extern const float gemColours[6][3];
// What a fading gem's colour tends to: the grey of a gem with no life left.
constexpr float kFadeGrey = 0.4f;

// The gem's colour blended towards the grey as its life runs out.
std::array<float, 3> gemDrawingColour(const Gem& gem);

// Draws the 127 gems in their cells, then recounts the score (which may end the game). Expects
// the model-view matrix mode; leaves the matrix stack as it found it, texturing, blending and the
// alpha test off and the colour white.
void drawBoard(const Board& board);
// One gem centred on the origin, one unit wide, then its sparkles in the same frame.
void drawGem(const Gem& gem);
// One sparkle in its gem's cell frame; leaves the colour white.
void drawSparkle(const Sparkle& sparkle);
