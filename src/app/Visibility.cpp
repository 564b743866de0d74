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

// How often the desktop is heard while the window cannot be seen: a manager that keeps a
// minimised window mapped tells only the desktop's connection when it restores it, not the
// toolkit's, and the desktop's other news (the window destroyed, above all) must not wait for the
// window to show. Four wake-ups a second cost next to nothing (docs/performance.md), and a window
// restored so draws again within a quarter of a second.
constexpr unsigned kUnseenHearingMs = 250;
// Whether such a hearing is waiting in the toolkit's timers; the toolkit cannot take one back, so
// one that comes when the window shows again just ends.
bool hearingPending = false;

void hearWhileUnseen(int unused);

void keepHearingDesktop() {
    if (!windowSeen() && !hearingPending) {
        hearingPending = true;
        glutTimerFunc(kUnseenHearingMs, hearWhileUnseen, 0);
    }
}

void hearWhileUnseen(int /*unused*/) {
    hearingPending = false;
    hearDesktop();
    keepHearingDesktop();
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
    keepHearingDesktop();
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
