#include "app/Mouse.h"

#include "app/ScreenState.h"

#include <GL/freeglut.h>

Mouse* Mouse::instance() {
    static Mouse* mouse = new Mouse();
    return mouse;
}

void Mouse::onButton(int button, int state, int /*x*/, int /*y*/) {
    // Wheel steps arrive as buttons 3 and up: they have no slot and do not move the screens on.
    if (button < 0 || button >= kButtonCount) {
        return;
    }
    buttons_[button] = static_cast<std::int16_t>(state);
    if (state == GLUT_DOWN) {
        // A press on a still screen only moves the flow on.
        if (screenState == Title) {
            screenState = Instructions;
            return;
        }
        if (screenState == Instructions) {
            screenState = Playing;
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            return;
        }
    }
}

void Mouse::onDrag(int /*x*/, int /*y*/) {}

void Mouse::onMove(int /*x*/, int /*y*/) {}
