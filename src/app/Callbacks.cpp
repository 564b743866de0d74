#include "app/Callbacks.h"

#include "app/Game.h"
#include "app/Mouse.h"
#include "app/View.h"
#include "app/Visibility.h"
#include "desktop/WindowLoss.h"

#include <GL/freeglut.h>

void onReshape(int width, int height) {
    View::instance()->reshape(width, height);
}

void onDisplay() {
    Game::instance()->render();
}

void onIdle() {
    Game::instance();
    glutPostRedisplay();
}

void onMotion(int x, int y) {
    Mouse::instance()->onDrag(x, y);
}

void onPassiveMotion(int x, int y) {
    Mouse::instance()->onMove(x, y);
}

void onMouse(int button, int state, int x, int y) {
    Mouse::instance()->onButton(button, state, x, y);
}

void onKey(unsigned char /*key*/, int /*x*/, int /*y*/) {
    Mouse::instance();
}

void onSpecialKey(int /*key*/, int /*x*/, int /*y*/) {
    Mouse::instance();
}

void registerCallbacks() {
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    glutIdleFunc(onIdle);
    glutMotionFunc(onMotion);
    glutPassiveMotionFunc(onPassiveMotion);
    glutMouseFunc(onMouse);
    glutKeyboardFunc(onKey);
    glutKeyboardUpFunc(onKey);
    glutSpecialFunc(onSpecialKey);
    glutSpecialUpFunc(onSpecialKey);
    glutWindowStatusFunc(onWindowStatus);
    endWithWindow();
}
