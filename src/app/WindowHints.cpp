#include "app/WindowHints.h"

#include "app/WindowIcon.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// The desktop entry names the same class (StartupWMClass), so the desktop can match the running
// window to its launcher and icon.
char kInstanceName[] = "hexaglint";
char kClassName[] = "Hexaglint";

} // namespace

void declareFixedSizeWindow(int x, int y, int width, int height) {
    // The toolkit made its window's context current, and the drawable is that window.
    Display* display = glXGetCurrentDisplay();
    const ::Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == None) {
        return;
    }

    // Every field is ours: reading the toolkit's hints back would wait on the server.
    XSizeHints* hints = XAllocSizeHints();
    if (hints == nullptr) {
        return;
    }
    hints->flags = PPosition | PSize | PMinSize | PMaxSize;
    hints->x = x;
    hints->y = y;
    hints->width = hints->min_width = hints->max_width = width;
    hints->height = hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);

    XClassHint classHint{kInstanceName, kClassName};
    XSetClassHint(display, window, &classHint);
    setWindowIcon(display, window);

    // A window manager may already have taken the window on with the toolkit's hints, and a tiling
    // one decides there whether the window floats. Withdrawing it and mapping it again makes every
    // manager take it on afresh with the hints above; the requests reach it in this order.
    XWithdrawWindow(display, window, DefaultScreen(display));
    XMoveWindow(display, window, x, y);
    XMapWindow(display, window);
    XFlush(display);
}
