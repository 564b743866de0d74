#include "gfx/BoardDrawing.h"

#include "gfx/GlScope.h"

#include <GL/gl.h>

namespace {

// The game's own drawing of each picture: its display list under its own matrix.
void drawSprite(const BoardSprite& sprite) {
    MatrixScope matrix;
    glTranslatef(sprite.x, sprite.y, 0.0f);
    glRotatef(sprite.angle, 0.0f, 0.0f, 1.0f);
    glScalef(sprite.size, sprite.size, 0.0f);
    glColor3fv(sprite.colour.data());
    glCallList(static_cast<GLuint>(sprite.list));
}

} // namespace

std::array<float, 3> gemDrawingColour(const Gem& gem) {
    const float* pure = gemColours[gem.colour()];
    const float fade = 1.0f - gem.life;
    return {pure[0] + fade * (kFadeGrey - pure[0]), pure[1] + fade * (kFadeGrey - pure[1]),
            pure[2] + fade * (kFadeGrey - pure[2])};
}

void drawBoard(const Board& board) {
    {
        glMatrixMode(GL_MODELVIEW);
        SpriteDrawingScope sprites;
        placeBoardSprites(board, drawSprite);
    }
    board.tally();
}
