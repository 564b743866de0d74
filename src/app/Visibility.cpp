#include "app/Visibility.h"

#include "app/Callbacks.h"
#include "desktop/WindowLoss.h"

#include <GL/freeglut.h>

namespace {

// What the toolkit last said: the window is mapped and not wholly covered. It starts so, as the
// window is first shown.
bool uncovered = true;
// What the window manager last said.
bool minimisedByManager = false;

// How often the desktop is heard while the manager keeps the window minimised but mapped. Four
// wake-ups a second cost next to nothing (docs/performance.md), and the window draws again
// within a quarter of a second of being restored.
constexpr unsigned kManagerCheckMs = 250;
// Whether such a check is waiting in the toolkit's timers; the toolkit cannot take one back, so
// one that comes when no longer needed just ends.
bool checkPending = false;

void hearManager(int unused);

// Nothing comes on the toolkit's connection while the manager keeps the window minimised but
// mapped, so the toolkit's wait is then given a timeout after which the desktop is heard again.
void keepHearingManager() {
    if (uncovered && minimisedByManager && !checkPending) {
        checkPending = true;
        glutTimerFunc(kManagerCheckMs, hearManager, 0);
    }
}

void hearManager(int /*unused*/) {
    checkPending = false;
    hearDesktop();
    keepHearingManager();
}

// Frames follow each other through the idle callback, which asks for the next one; without it
// the toolkit's loop sleeps until an event or a timer comes, and draws nothing for a window it
// knows to be unseen (a redisplay asked for just before is dropped).
void paceFrames(bool wasSeen) {
    if (windowSeen() != wasSeen) {
        glutIdleFunc(windowSeen() ? onIdle : nullptr);
        if (windowSeen()) {
            glutPostRedisplay();
        }
    }
    keepHearingManager();
}

} // namespace

bool windowSeen() {
    return uncovered && !minimisedByManager;
}

void onWindowStatus(int status) {
    if (status == GLUT_HIDDEN) {
        checkWindowStillThere();
    } else if (status != GLUT_FULLY_COVERED) {
        // The manager may have restored the window while the game slept: its word comes first.
        hearDesktop();
    }
    const bool wasSeen = windowSeen();
    uncovered = status != GLUT_HIDDEN && status != GLUT_FULLY_COVERED;
    paceFrames(wasSeen);
}

void onManagerMinimised(bool minimised) {
    const bool wasSeen = windowSeen();
    minimisedByManager = minimised;
    paceFrames(wasSeen);
}
