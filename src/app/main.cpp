// Hexaglint: opens the one window, wires the toolkit's events to the game and hands over to the
// toolkit's loop.

#include "app/Callbacks.h"
#include "app/Game.h"

#include <GL/freeglut.h>

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowSize(1024, 768);
    glutCreateWindow("Hexaglint");
    glutPositionWindow(100, 100);
    registerCallbacks();
    Game::instance()->init();
    glutMainLoop();
    return 0;
}
