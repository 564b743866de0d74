#include "gfx/BoardDrawing.h"

#include "board/Board.h"
#include "board/Gem.h"
#include "gfx/GemArt.h"
#include "gfx/GlScope.h"

#include <GL/gl.h>

namespace {

// How much a pulsing gem grows per degree of spin a frame.
constexpr double kPulseGrowth = 0.05;

void placeGem(const Gem& gem, Board::Point centre, const GemArt& art, BoardSpriteSink& sink) {
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
        sink.place(body);
        if (!gem.dead) {
            body.list = art.outline(gem.sides);
        } else {
            body.list = art.outlineWhite(gem.sides);
            body.colour = {1.0f, 1.0f, 1.0f};
        }
        sink.place(body);
    }
    // Sparkles sit in the cell, measured in gem widths.
    for (const Sparkle& sparkle : gem.sparkles) {
        BoardSprite twinkle;
        twinkle.list = art.highlight();
        twinkle.x = centre.x + size * sparkle.x;
        twinkle.y = centre.y + size * sparkle.y;
        twinkle.angle = sparkle.angle;
        twinkle.size = size * sparkle.scale;
        sink.place(twinkle);
    }
}

// The game's own drawing of each picture: its display list under its own matrix.
class GlSprites final : public BoardSpriteSink {
  public:
    void place(const BoardSprite& sprite) override {
        MatrixScope matrix;
        glTranslatef(sprite.x, sprite.y, 0.0f);
        glRotatef(sprite.angle, 0.0f, 0.0f, 1.0f);
        glScalef(sprite.size, sprite.size, 0.0f);
        glColor3fv(sprite.colour.data());
        glCallList(static_cast<GLuint>(sprite.list));
    }
};

} // namespace

std::array<float, 3> gemDrawingColour(const Gem& gem) {
    const float* pure = gemColours[gem.colour()];
    const float fade = 1.0f - gem.life;
    return {pure[0] + fade * (kFadeGrey - pure[0]), pure[1] + fade * (kFadeGrey - pure[1]),
            pure[2] + fade * (kFadeGrey - pure[2])};
}

void placeBoardSprites(const Board& board, BoardSpriteSink& sink) {
    const GemArt* art = gemArt();
    if (art == nullptr) {
        return;
    }
    // The pulsing gems come last, so they overlap their neighbours.
    for (const bool pulsing : {false, true}) {
        for (int cell = 0; cell < Board::kCellCount; ++cell) {
            const Gem& gem = *board.cells[cell];
            if (gem.pulsing == pulsing) {
                placeGem(gem, Board::cellCentre(cell), *art, sink);
            }
        }
    }
}

void drawBoard(const Board& board) {
    {
        glMatrixMode(GL_MODELVIEW);
        SpriteDrawingScope sprites;
        GlSprites gl;
        placeBoardSprites(board, gl);
    }
    board.tally();
}
