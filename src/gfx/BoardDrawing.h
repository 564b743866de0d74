#pragma once
// Drawing the board: every gem as a tinted body with its rim on top, its sparkles, and the
// pulsing gems last and enlarged so they overlap their neighbours. Where each of those pictures
// goes is decided once, by placeBoardSprites, for the game's frame and for anything that must
// show the same picture.

#include "board/Board.h"
#include "board/Gem.h"
#include "board/GemColours.h"
#include "gfx/GemArt.h"
#include "gfx/Sprite.h"

#include <array>

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

// Every picture of one gem in its cell: its body, its rim (white once the gem is dead) and its
// sparkles, handed to place one at a time. A pulsing gem is enlarged by its spin; a gem's turn
// and pulse do not carry its sparkles, which sit in the cell, measured in gem widths.
template <typename Place>
void placeGem(const Gem& gem, Board::Point centre, const GemArt& art, Place&& place) {
    // How much a pulsing gem grows per degree of spin a frame.
    constexpr double kPulseGrowth = 0.05;
    const float size = static_cast<float>(Board::kGemSize);
    BoardSprite body;
    body.x = centre.x;
    body.y = centre.y;
    body.angle = gem.angle;
    body.size = gem.pulsing
                    ? static_cast<float>(Board::kGemSize * (gem.spin() * kPulseGrowth + 1.0))
                    : size;
    body.colour = gemDrawingColour(gem);
    body.list = art.fill(gem.sides);
    if (body.list >= 0) {
        place(body);
        if (!gem.dead) {
            body.list = art.outline(gem.sides);
        } else {
            body.list = art.outlineWhite(gem.sides);
            body.colour = {1.0f, 1.0f, 1.0f};
        }
        place(body);
    }
    for (const Sparkle& sparkle : gem.sparkles) {
        BoardSprite twinkle;
        twinkle.list = art.highlight();
        twinkle.x = centre.x + size * sparkle.x;
        twinkle.y = centre.y + size * sparkle.y;
        twinkle.angle = sparkle.angle;
        twinkle.size = size * sparkle.scale;
        place(twinkle);
    }
}

// Hands place every picture of the board in the order drawBoard draws them: cell by cell, with
// the pulsing gems after all the others, so they overlap their neighbours. Hands over nothing
// while the gem art is not loaded, and no body for a gem without a shape. Allocates nothing.
template <typename Place> void placeBoardSprites(const Board& board, Place&& place) {
    const GemArt* art = gemArt();
    if (art == nullptr) {
        return;
    }
    for (const bool pulsing : {false, true}) {
        for (int cell = 0; cell < Board::kCellCount; ++cell) {
            const Gem& gem = *board.cells[cell];
            if (gem.pulsing == pulsing) {
                placeGem(gem, Board::cellCentre(cell), *art, place);
            }
        }
    }
}

// Draws the 127 gems in their cells, then recounts the score (which may end the game). Expects
// the model-view matrix mode; leaves the matrix stack as it found it, texturing, blending and the
// alpha test off and the colour white.
void drawBoard(const Board& board);
