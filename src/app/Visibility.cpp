#include "app/Visibility.h"

#include "app/Callbacks.h"
#include "desktop/WindowLoss.h"

#include <GL/freeglut.h>

namespace {

// What the toolkit last said: the window is mapped and not wholly covered. It starts so, as the
// window is first shown.
bool uncovered = true;

// Frames follow each other through the idle callback, which asks for the next one; without it
// the toolkit's loop sleeps until an event comes, and draws nothing for a window it knows to be
// unseen (a redisplay asked for just before is dropped).
void paceFrames(bool seen) {
    if (seen) {
        glutIdleFunc(onIdle);
        glutPostRedisplay();
    } else {
        glutIdleFunc(nullptr);
    }
}

// Whether the window can be seen, as far as the desktop has said.
bool seen() {
    return uncovered;
}

} // namespace

void onWindowStatus(int status) {
    if (status == GLUT_HIDDEN) {
        checkWindowStillThere();
    }
    const bool wasSeen = seen();
    uncovered = status != GLUT_HIDDEN && status != GLUT_FULLY_COVERED;
    if (seen() != wasSeen) {
        paceFrames(seen());
    }
}
