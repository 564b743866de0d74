#include "gfx/Sprite.h"

#include "gfx/PictureScale.h"
#include "gfx/PngTexture.h"

#include <GL/gl.h>

namespace {

unsigned bindPicture(const char* path, int mipmap = PNG_BUILDMIPMAPS) {
    return pngBind(path, mipmap, PNG_ALPHA, nullptr, GL_CLAMP, GL_LINEAR, GL_LINEAR);
}

} // namespace

void loadSprite(SpriteList& list, int& texture, const char* path) {
    if (list >= 0) {
        return;
    }
    if (texture < 0) {
        texture = static_cast<int>(bindPicture(path));
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

void loadScaledSprite(SpriteList& list, const char* path, int scale) {
    if (list >= 0) {
        return;
    }
    int texture = -1;
    if (scale != kNormalPictures) {
        // Without a mipmap chain: the linear minification filter reads only the base level, and
        // at four times the texels a chain would add a third to their memory and upload.
        const unsigned scaled = bindPicture(scaledPicturePath(path, scale).c_str(), PNG_NOMIPMAPS);
        if (scaled != 0) {
            texture = static_cast<int>(scaled);
        }
    }
    loadSprite(list, texture, path);
}
