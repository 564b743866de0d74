#include "ui/Backdrop.h"

#include "gfx/GlScope.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstdlib>

Backdrop* Backdrop::instance() {
    static Backdrop* backdrop = new Backdrop();
    return backdrop;
}

void Backdrop::load(int pictureScale) {
    // Each image gets a texture of its own, read from its file.
    SpriteList* const lists[kPictureCount] = {&backgroundList_, &titleList_, &instructionsList_};
    for (int picture = 0; picture < kPictureCount; ++picture) {
        loadScaledSprite(*lists[picture], path(picture), pictureScale);
    }
}

void Backdrop::setBounds(double top, double right, double bottom, double left) {
    top_ = top;
    right_ = right;
    bottom_ = bottom;
    left_ = left;
}

void Backdrop::update(float /*dt*/) {}

void Backdrop::drawStretched(SpriteList list) const {
    if (list < 0) {
        return;
    }
    MatrixScope matrix;
    glTranslatef(static_cast<float>((left_ + right_) * 0.5),
                 static_cast<float>((bottom_ + top_) * 0.5), 0.0f);
    // Sizes are whole units and never negative, so swapped edges neither mirror the image nor
    // turn the quad's back to the camera.
    const std::int32_t width = static_cast<std::int32_t>(left_ - right_);
    const std::int32_t height = static_cast<std::int32_t>(top_ - bottom_);
    glScalef(static_cast<float>(std::abs(width)), static_cast<float>(std::abs(height)), 1.0f);
    glCallList(static_cast<GLuint>(list));
}

void Backdrop::drawBackground(float /*dt*/) {
    SpriteDrawingScope sprites;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawStretched(backgroundList_);
}

void Backdrop::drawOpaque(SpriteList list) const {
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawStretched(list);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void Backdrop::drawTitle() {
    drawOpaque(titleList_);
}

void Backdrop::drawInstructions() {
    drawOpaque(instructionsList_);
}
