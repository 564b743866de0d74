#pragma once
// Drawing the board: every gem as a tinted body with its rim on top, its sparkles, and the
// pulsing gems last and enlarged so they overlap their neighbours. Where each of those pictures
// goes is decided once, by placeBoardSprites, for the game's frame and for anything that must
// show the same picture.

#include "board/GemColours.h"
#include "gfx/Sprite.h"

#include <array>

class Board;

class Gem;

// The gem's colour (board/GemColours.h) blended towards kFadeGrey as its life runs out.
std::array<float, 3> gemDrawingColour(const Gem& gem);

// One picture of the board in its place: the sprite's unit square scaled to size board units,
// turned by angle degrees counter-clockwise about its centre, moved to (x, y) in the board plane
// and tinted with colour.
struct BoardSprite {
    SpriteList list = -1;
    float x = 0.0f;
    float y = 0.0f;
    float angle = 0.0f;
    float size = 0.0f;
    std::array<float, 3> colour{1.0f, 1.0f, 1.0f};
};

// Takes the board's pictures from placeBoardSprites, one at a time.
class BoardSpriteSink {
  public:
    virtual void place(const BoardSprite& sprite) = 0;

  protected:
    ~BoardSpriteSink() = default;
};

// Hands the sink every picture of the board in the order drawBoard draws them: cell by cell a
// gem's body, its rim (white once the gem is dead) and its sparkles, with the pulsing gems after
// all the others and enlarged by their spin. A gem's turn and pulse do not carry its sparkles.
// Hands over nothing while the gem art is not loaded, and no body for a gem without a shape.
// Allocates nothing.
void placeBoardSprites(const Board& board, BoardSpriteSink& sink);

// Draws the 127 gems in their cells, then recounts the score (which may end the game). Expects
// the model-view matrix mode; leaves the matrix stack as it found it, texturing, blending and the
// alpha test off and the colour white.
void drawBoard(const Board& board);
