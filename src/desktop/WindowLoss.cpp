#include "desktop/WindowLoss.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdlib>

namespace {

// GLX's error number for a drawable that does not exist, counted from its first error code
// (GLXBadDrawable in the protocol header GL/glxproto.h, which is not for clients to include).
constexpr int kGlxBadDrawable = 2;

// The watched window, its connection, and GLX's first error code there (-1 without GLX).
Display* watchedDisplay = nullptr;
::Window watchedWindow = None;
int glxErrorBase = -1;
// Xlib's handler before ours: it reports and ends the process on every other error, as before.
XErrorHandler previousHandler = nullptr;

bool meansWindowGone(const XErrorEvent& error) {
    if (error.resourceid != watchedWindow) {
        return false;
    }
    return error.error_code == BadWindow || error.error_code == BadDrawable ||
           (glxErrorBase >= 0 && error.error_code == glxErrorBase + kGlxBadDrawable);
}

int onXError(Display* display, XErrorEvent* error) {
    if (meansWindowGone(*error)) {
        endWithoutWindow();
    }
    return previousHandler != nullptr ? previousHandler(display, error) : 0;
}

} // namespace

void checkWindowStillThere() {
    if (watchedDisplay == nullptr) {
        return;
    }
    // A window that is gone answers with BadWindow, which onXError turns into the end.
    XWindowAttributes attributes;
    XGetWindowAttributes(watchedDisplay, watchedWindow, &attributes);
}

void endWithoutWindow() {
    // Called from an error handler too, which may not talk to the server, and exit's clean-up
    // might: the window is gone and nothing is left to save, so the process ends at once.
    std::_Exit(0);
}

void endWithWindow() {
    watchedDisplay = glXGetCurrentDisplay();
    watchedWindow = glXGetCurrentDrawable();
    if (watchedDisplay == nullptr || watchedWindow == None) {
        return;
    }
    int eventBase = 0;
    if (!glXQueryExtension(watchedDisplay, &glxErrorBase, &eventBase)) {
        glxErrorBase = -1;
    }
    previousHandler = XSetErrorHandler(onXError);
}
