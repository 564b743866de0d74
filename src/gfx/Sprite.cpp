#include "gfx/Sprite.h"

#include "gfx/PngTexture.h"

#include <GL/gl.h>

void loadSprite(SpriteList& list, int& texture, const char* path) {
    if (list >= 0) {
        return;
    }
    if (texture < 0) {
        texture = static_cast<int>(
            pngBind(path, PNG_BUILDMIPMAPS, PNG_ALPHA, nullptr, GL_CLAMP, GL_LINEAR, GL_LINEAR));
    }
    list = static_cast<SpriteList>(glGenLists(1));
    glNewList(static_cast<GLuint>(list), GL_COMPILE);
    if (texture >= 0) {
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    }
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    for (const QuadCorner& c : kUnitQuad) {
        glTexCoord2f(c.s, c.t);
        glVertex2f(c.x, c.y);
    }
    glEnd();
    glEndList();
}
