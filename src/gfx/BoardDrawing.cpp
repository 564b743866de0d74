#include "gfx/BoardDrawing.h"

#include "board/Board.h"
#include "board/Gem.h"
#include "gfx/GemArt.h"
#include "gfx/GlScope.h"

#include <GL/gl.h>

#include <vector>

const float gemColours[6][3] = {
    {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f},
    {1.0f, 0.0f, 1.0f}, {1.0f, 1.0f, 0.0f}, {0.0f, 1.0f, 1.0f},
};

namespace {

// The gems drawn last, with the model-view matrices their cells had. The storage is made once for
// all 127 cells and reused, so a frame allocates nothing.
struct DeferredGems {
    DeferredGems() {
        cells.reserve(Board::kCellCount);
        matrices.resize(Board::kCellCount);
    }
    std::vector<int> cells;
    std::vector<std::array<float, 16>> matrices;
};

DeferredGems& deferredGems() {
    static DeferredGems* deferred = new DeferredGems();
    return *deferred;
}

void callList(SpriteList list) {
    glCallList(static_cast<GLuint>(list));
}

} // namespace

std::array<float, 3> gemDrawingColour(const Gem& gem) {
    const float* pure = gemColours[gem.colour()];
    const float fade = 1.0f - gem.life;
    return {pure[0] + fade * (kFadeGrey - pure[0]), pure[1] + fade * (kFadeGrey - pure[1]),
            pure[2] + fade * (kFadeGrey - pure[2])};
}

void drawSparkle(const Sparkle& sparkle) {
    const GemArt* art = gemArt();
    glMatrixMode(GL_MODELVIEW);
    MatrixScope matrix;
    glTranslatef(sparkle.x, sparkle.y, 0.0f);
    glRotatef(sparkle.angle, 0.0f, 0.0f, 1.0f);
    glScalef(sparkle.scale, sparkle.scale, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (art != nullptr) {
        callList(art->highlight());
    }
}

void drawGem(const Gem& gem) {
    const GemArt* art = gemArt();
    glMatrixMode(GL_MODELVIEW);
    {
        MatrixScope matrix;
        glRotatef(gem.angle, 0.0f, 0.0f, 1.0f);
        if (gem.pulsing) {
            const double s = gem.spin() * 0.05 + 1.0;
            glScalef(static_cast<float>(s), static_cast<float>(s), 0.0f);
        }
        const std::array<float, 3> colour = gemDrawingColour(gem);
        glColor3fv(colour.data());
        if (art != nullptr && gem.sides >= Gem::kMinSides && gem.sides <= Gem::kMaxSides) {
            callList(art->fill(gem.sides));
            if (!gem.dead) {
                callList(art->outline(gem.sides));
            } else {
                glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
                callList(art->outlineWhite(gem.sides));
            }
        }
    }
    // In the cell frame: the gem's turn and pulse do not carry its sparkles with it.
    for (const Sparkle& sparkle : gem.sparkles) {
        drawSparkle(sparkle);
    }
}

namespace {

// Every gem in its cell, the pulsing ones last.
void drawGems(const Board& board) {
    DeferredGems& deferred = deferredGems();
    deferred.cells.clear();
    {
        MatrixScope boardOrigin;
        glTranslatef(static_cast<float>(Board::kOriginX), static_cast<float>(Board::kOriginY),
                     0.0f);
        int cell = 0;
        for (int row = 0; row < Board::kRowCount; ++row) {
            const int length = Board::rowLength(row);
            const int m = length - 7;
            const float step = static_cast<float>(Board::rowStep(length));
            MatrixScope rowOrigin;
            glTranslatef(static_cast<float>(-Board::kRowShift * m),
                         static_cast<float>(-Board::kRowHeight * row), 0.0f);
            for (int column = 0; column < length; ++column, ++cell) {
                {
                    MatrixScope cellFrame;
                    glScalef(static_cast<float>(Board::kGemSize),
                             static_cast<float>(Board::kGemSize), 0.0f);
                    const Gem& gem = *board.cells[cell];
                    if (gem.pulsing) {
                        // Drawn after all the others, so it overlaps its neighbours.
                        glGetFloatv(GL_MODELVIEW_MATRIX,
                                    deferred.matrices[deferred.cells.size()].data());
                        deferred.cells.push_back(cell);
                    } else {
                        drawGem(gem);
                    }
                }
                glTranslatef(step, 0.0f, 0.0f);
            }
        }
    }
    for (std::size_t i = 0; i < deferred.cells.size(); ++i) {
        MatrixScope matrix;
        glLoadMatrixf(deferred.matrices[i].data());
        drawGem(*board.cells[deferred.cells[i]]);
    }
}

} // namespace

void drawBoard(const Board& board) {
    {
        SpriteDrawingScope sprites;
        drawGems(board);
    }
    board.tally();
}
