#include "support/GlContext.h"

#include "app/View.h"
#include "board/Gem.h"
#include "gfx/GemArt.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

void ignoreDisplay() {}

// The X server now and then turns a connection away while other test programs' connections are
// being torn down, and the toolkit ends the process on the first refusal: wait until the server
// answers before handing over to it.
bool displayAnswers() {
    constexpr int kAttempts = 50;
    constexpr auto kBetweenAttempts = std::chrono::milliseconds(100);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (::Display* display = XOpenDisplay(nullptr)) {
            XCloseDisplay(display);
            return true;
        }
        std::this_thread::sleep_for(kBetweenAttempts);
    }
    return false;
}

bool createWindow() {
    if (std::getenv("DISPLAY") == nullptr || !displayAnswers()) {
        return false;
    }
    int argc = 1;
    char name[] = "hexaglint-tests";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowSize(View::kWidth, View::kHeight);
    glutCreateWindow("hexaglint-tests");
    glutDisplayFunc(ignoreDisplay);
    View::instance()->reshape(View::kWidth, View::kHeight);
    // As the game does before it builds its board.
    onGemBuilt = ensureGemArt;
    return true;
}

} // namespace

bool ensureGlContext() {
    static const bool created = createWindow();
    return created;
}
