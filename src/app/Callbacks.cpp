#include "app/Callbacks.h"

#include "app/Game.h"
#include "app/Mouse.h"
#include "app/View.h"
#include "app/Visibility.h"
#include "desktop/DesktopWatch.h"
#include "desktop/WindowHints.h"
#include "desktop/WindowKeeper.h"
#include "desktop/WindowLoss.h"

#include <GL/freeglut.h>

#include <optional>

namespace {

// Both live as long as the process.
DesktopWatch* desktopWatch = nullptr;
WindowKeeper* windowKeeper = nullptr;

} // namespace

void onReshape(int width, int height) {
    View::instance()->reshape(width, height);
}

void onDisplay() {
    Game::instance()->render();
}

void onIdle() {
    Game::instance();
    hearDesktop();
    // The news may have been that the window is minimised.
    if (windowSeen()) {
        glutPostRedisplay();
    }
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
}

void followDesktop(const WindowPlan& plan) {
    desktopWatch = new DesktopWatch();
    windowKeeper = new WindowKeeper();
    if (desktopWatch->watchCurrentWindow()) {
        windowKeeper->keep(desktopWatch->display(), desktopWatch->window(), plan.fullWidth,
                           plan.fullHeight, plan.place);
    }
}

void hearDesktop() {
    if (desktopWatch == nullptr) {
        return;
    }
    const unsigned changes = desktopWatch->takeChanges();
    if ((changes & DesktopWatch::kWindowGone) != 0) {
        endWithoutWindow();
    }
    if (const std::optional<PixelRect> place = windowKeeper->refit(changes)) {
        View::instance()->setWindowSize(place->width, place->height);
    }
    if ((changes & DesktopWatch::kStateChanged) != 0) {
        onManagerMinimised(desktopWatch->minimised());
    }
}
