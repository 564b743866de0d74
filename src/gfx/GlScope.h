#pragma once
// Scope guards that pair every GL push with its pop, so early returns can never unbalance a stack,
// and the one that sets up and tears down the state sprites are drawn in.

#include <GL/gl.h>

// Saves the current matrix of the current matrix mode for the lifetime of the guard.
class MatrixScope {
  public:
    MatrixScope() { glPushMatrix(); }
    ~MatrixScope() { glPopMatrix(); }
    MatrixScope(const MatrixScope&) = delete;
    MatrixScope& operator=(const MatrixScope&) = delete;
};

// Saves the server attribute groups in mask for the lifetime of the guard.
class AttribScope {
  public:
    explicit AttribScope(GLbitfield mask) { glPushAttrib(mask); }
    ~AttribScope() { glPopAttrib(); }
    AttribScope(const AttribScope&) = delete;
    AttribScope& operator=(const AttribScope&) = delete;
};

// Saves the client attribute groups in mask (pixel store modes) for the lifetime of the guard.
class ClientAttribScope {
  public:
    explicit ClientAttribScope(GLbitfield mask) { glPushClientAttrib(mask); }
    ~ClientAttribScope() { glPopClientAttrib(); }
    ClientAttribScope(const ClientAttribScope&) = delete;
    ClientAttribScope& operator=(const ClientAttribScope&) = delete;
};

// The state blended sprites are drawn in: texturing, blending by source alpha and an alpha test
// that skips fully transparent texels, on for the lifetime of the guard. At its end they are
// switched off rather than restored, as the game keeps them off between draws, and the colour is
// left white for whatever is drawn next.
class SpriteDrawingScope {
  public:
    SpriteDrawingScope() {
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.0f);
    }
    ~SpriteDrawingScope() {
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    SpriteDrawingScope(const SpriteDrawingScope&) = delete;
    SpriteDrawingScope& operator=(const SpriteDrawingScope&) = delete;
};
