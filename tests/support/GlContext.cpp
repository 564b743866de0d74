#include "support/GlContext.h"

#include "app/View.h"
#include "board/Gem.h"
#include "gfx/GemArt.h"

#include <GL/freeglut.h>

#include <cstdlib>

namespace {

void ignoreDisplay() {}

bool createWindow() {
    if (std::getenv("DISPLAY") == nullptr) {
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
