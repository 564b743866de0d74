// Hexaglint: opens the one window, wires the toolkit's events to the game and hands over to the
// toolkit's loop.

#include "app/Callbacks.h"
#include "app/Game.h"
#include "app/View.h"
#include "desktop/WindowHints.h"
#include "desktop/WindowLoss.h"

#include <GL/freeglut.h>

#include <iostream>
#include <stdexcept>

namespace {

// Where the window opens on the desktop, unless the window manager places it.
constexpr int kWindowX = 100;
constexpr int kWindowY = 100;

} // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    const WindowPlan plan = planWindow(kWindowX, kWindowY, View::kWidth, View::kHeight);
    // The pictures and the type are made for the size the window opens at.
    const double windowScale = View::scaleOf(plan.place.width, plan.place.height);
    Game::decodePicturesAhead(windowScale);
    glutInitWindowSize(plan.place.width, plan.place.height);
    glutCreateWindow(HEXAGLINT_APP_NAME);
    // Another program may destroy the window at any moment from now on, start-up included.
    endWithWindow();
    // Placed here rather than through the toolkit, whose move comes only once its loop runs and
    // would shift a window that a window manager has already framed.
    declareFixedSizeWindow(plan.place);
    View::instance()->setWindowSize(plan.place.width, plan.place.height);
    followDesktop(plan);
    registerCallbacks();
    try {
        Game::instance()->init(windowScale);
    } catch (const std::runtime_error& e) {
        // A start-up that cannot finish (the font) ends the run with its reason, not a core dump.
        std::cerr << e.what() << '\n' << fontErrorHint() << std::endl;
        return 1;
    }
    glutMainLoop();
    return 0;
}
