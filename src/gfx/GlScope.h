#pragma once
// Scope guards that pair every GL push with its pop, so early returns can never unbalance a stack.

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
