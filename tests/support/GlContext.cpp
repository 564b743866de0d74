#include "support/GlContext.h"

#include "app/View.h"
#include "board/Gem.h"
#include "gfx/GemArt.h"

#include <GL/freeglut.h>

#include <chrono>
#include <csetjmp>
#include <cstdarg>
#include <cstdlib>
#include <thread>

namespace {

void ignoreDisplay() {}

// The X server now and then turns a connection away while other test programs' connections are
// being torn down, and the toolkit reports a refused connection through its error function (by
// default ending the process). The error function here jumps back instead, so the toolkit is
// simply started again a moment later; it marks itself initialised only once it has a display.
std::jmp_buf refusedConnection;

[[noreturn]] void onToolkitError(const char* /*format*/, va_list /*arguments*/) {
    std::longjmp(refusedConnection, 1);
}

bool startToolkit() {
    constexpr int kAttempts = 50;
    constexpr auto kBetweenAttempts = std::chrono::milliseconds(100);
    volatile int attempt = 0;
    if (setjmp(refusedConnection) != 0) {
        if (++attempt >= kAttempts) {
            return false;
        }
        std::this_thread::sleep_for(kBetweenAttempts);
    }
    int argc = 1;
    char name[] = "hexaglint-tests";
    char* argv[] = {name, nullptr};
    glutInitErrorFunc(onToolkitError);
    glutInit(&argc, argv);
    glutInitErrorFunc(nullptr);
    return true;
}

bool createWindow() {
    if (std::getenv("DISPLAY") == nullptr || !startToolkit()) {
        return false;
    }
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
