// The least a program can do with the game's window: the same size, display mode and position,
// frames driven by the idle callback, each one only clearing to white and swapping. Start-up time
// and memory of the game are measured against this (see startup_probe and docs/performance.md).

#include <GL/freeglut.h>

namespace {

void display() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

void idle() {
    glutPostRedisplay();
}

} // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowSize(1024, 768);
    glutCreateWindow("Bare window");
    glutPositionWindow(100, 100);
    glutDisplayFunc(display);
    glutIdleFunc(idle);
    // The game clears its still screens to white as well.
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glutMainLoop();
    return 0;
}
