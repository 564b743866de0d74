#include "desktop/WindowHints.h"

#include "desktop/WindowIcon.h"
#include "desktop/XDesktop.h"
#include "desktop/XProperty.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

// The desktop entry names the same class (StartupWMClass), so the desktop can match the running
// window to its launcher and icon; both take it from the build's one name.
char kInstanceName[] = "hexaglint";
char kClassName[] = HEXAGLINT_APP_NAME;

// A window manager that cannot say how large its frame is gets the title bar of a common theme.
constexpr int kAssumedTitleBar = 32;
// Window managers answer a frame request within milliseconds; a start-up waits no longer than
// this for one that never does.
constexpr auto kFrameAnswerWait = std::chrono::milliseconds(300);

// Waits for the manager to write its answer on the stand-in window, as the property's change
// event, until the deadline; an answer no window on this screen could have counts as none.
std::optional<FrameExtents> awaitFrameAnswer(Display* display, ::Window standIn,
                                             const PixelRect& screen) {
    const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    const auto deadline = std::chrono::steady_clock::now() + kFrameAnswerWait;
    for (;;) {
        XEvent event;
        while (XCheckTypedWindowEvent(display, standIn, PropertyNotify, &event)) {
            if (event.xproperty.atom == extents && event.xproperty.state == PropertyNewValue) {
                return frameFromExtents(readLongs(display, standIn, extents, XA_CARDINAL), screen);
            }
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        pollfd readable{ConnectionNumber(display), POLLIN, 0};
        poll(&readable, 1, static_cast<int>(left.count()));
    }
}

// What the window manager will put round the game's window. Asked for a stand-in window with the
// same hints that is never mapped, so the only frame the manager writes on it is its answer: on
// the game's own window, which the toolkit maps as it creates it, a manager may still be writing
// the frame of that first mapping. No manager, no frame.
FrameExtents frameFor(Display* display, const PixelRect& place) {
    if (!windowManagerRuns(display)) {
        return FrameExtents{};
    }
    const FrameExtents assumed{0, 0, kAssumedTitleBar, 0};
    if (!supports(display, "_NET_REQUEST_FRAME_EXTENTS")) {
        return assumed;
    }
    const ::Window root = DefaultRootWindow(display);
    const ::Window standIn =
        XCreateSimpleWindow(display, root, place.x, place.y, static_cast<unsigned>(place.width),
                            static_cast<unsigned>(place.height), 0, 0, 0);
    XSelectInput(display, standIn, PropertyChangeMask);
    setFixedSizeHints(display, standIn, place);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = standIn;
    request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    request.xclient.format = 32;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
    XFlush(display);
    const std::optional<FrameExtents> answer =
        awaitFrameAnswer(display, standIn, screenOf(display));
    XDestroyWindow(display, standIn);
    return answer.value_or(assumed);
}

void setUtf8Property(Display* display, ::Window window, const char* name, const char* text) {
    XChangeProperty(display, window, XInternAtom(display, name, False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text),
                    static_cast<int>(std::strlen(text)));
}

} // namespace

WindowPlan planWindow(int x, int y, int pictureWidth, int pictureHeight) {
    WindowPlan plan{PixelRect{x, y, pictureWidth, pictureHeight}, pictureWidth, pictureHeight};
    // The toolkit's connection comes with its window; the plan has to be ready before that.
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return plan;
    }
    const double scale = desktopScale(XResourceManagerString(display), std::getenv("GDK_SCALE"));
    plan.fullWidth = scaledLength(pictureWidth, scale);
    plan.fullHeight = scaledLength(pictureHeight, scale);
    const PixelRect wanted{x, y, plan.fullWidth, plan.fullHeight};
    plan.place = placeWindow(roomAt(display, x, y), frameFor(display, wanted), plan.fullWidth,
                             plan.fullHeight, x, y);
    XCloseDisplay(display);
    return plan;
}

void declareFixedSizeWindow(const PixelRect& place) {
    // The toolkit made its window's context current, and the drawable is that window.
    Display* display = glXGetCurrentDisplay();
    const ::Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == None) {
        return;
    }
    setFixedSizeHints(display, window, place);
    XClassHint classHint{kInstanceName, kClassName};
    XSetClassHint(display, window, &classHint);
    // The toolkit sets only WM_NAME, in Latin-1; desktops show this one.
    setUtf8Property(display, window, "_NET_WM_NAME", HEXAGLINT_APP_NAME);
    setWindowIcon(display, window);

    // A window manager may already have taken the window on with the toolkit's hints, and a tiling
    // one decides there whether the window floats. Withdrawing it and mapping it again makes every
    // manager take it on afresh with the hints above; the requests reach it in this order.
    XWithdrawWindow(display, window, DefaultScreen(display));
    XMoveWindow(display, window, place.x, place.y);
    XMapWindow(display, window);
    XFlush(display);
}
