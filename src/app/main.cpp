// Hexaglint: opens the one window, wires the toolkit's events to the game and hands over to the
// toolkit's loop.

#include "app/Callbacks.h"
#include "app/Game.h"

#include <GL/freeglut.h>

#include <iostream>
#include <stdexcept>

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowSize(1024, 768);
    glutCreateWindow("Hexaglint");
    glutPositionWindow(100, 100);
    registerCallbacks();
    try {
        Game::instance()->init();
    } catch (const std::runtime_error& e) {
        // A start-up that cannot finish (the font) ends the run with its reason, not a core dump.
        std::cerr << e.what() << std::endl;
        return 1;
    }
    glutMainLoop();
    return 0;
}
