#include "desktop/WindowHints.h"

#include "desktop/WindowIcon.h"
#include "desktop/XProperty.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

// The desktop entry names the same class (StartupWMClass), so the desktop can match the running
// window to its launcher and icon.
char kInstanceName[] = "hexaglint";
char kClassName[] = HEXAGLINT_APP_NAME;

// A window manager that cannot say how large its frame is gets the title bar of a common theme.
constexpr int kAssumedTitleBar = 32;
// Window managers answer a frame request within milliseconds; a start-up waits no longer than
// this for one that never does.
constexpr auto kFrameAnswerWait = std::chrono::milliseconds(300);
constexpr auto kFramePoll = std::chrono::milliseconds(2);
// RandR reports monitors from this version on.
constexpr int kMonitorsMajor = 1;
constexpr int kMonitorsMinor = 5;

ScreenRect intersection(const ScreenRect& a, const ScreenRect& b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top) {
        return a;
    }
    return ScreenRect{left, top, right - left, bottom - top};
}

// The monitor that shows the point, or the screen where the server reports no monitors.
ScreenRect monitorAt(Display* display, ::Window root, int x, int y) {
    const int screen = DefaultScreen(display);
    ScreenRect room{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) ||
        !XRRQueryVersion(display, &major, &minor) ||
        (major == kMonitorsMajor && minor < kMonitorsMinor) || major < kMonitorsMajor) {
        return room;
    }
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& m = monitors[i];
        const ScreenRect monitor{m.x, m.y, m.width, m.height};
        const bool holds = x >= m.x && x < m.x + m.width && y >= m.y && y < m.y + m.height;
        if (holds || i == 0) {
            room = monitor;
        }
        if (holds) {
            break;
        }
    }
    if (monitors != nullptr) {
        XRRFreeMonitors(monitors);
    }
    return room;
}

// The part of the monitor that panels and docks leave to windows, where the manager says.
ScreenRect roomAt(Display* display, ::Window root, int x, int y) {
    const ScreenRect monitor = monitorAt(display, root, x, y);
    const std::vector<long> areas = readLongs(display, root, "_NET_WORKAREA", XA_CARDINAL);
    const std::vector<long> current = readLongs(display, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
    const std::size_t desktop = current.empty() ? 0 : static_cast<std::size_t>(current[0]);
    if (areas.size() < 4 * (desktop + 1)) {
        return monitor;
    }
    const long* area = &areas[4 * desktop];
    return intersection(monitor, ScreenRect{static_cast<int>(area[0]), static_cast<int>(area[1]),
                                            static_cast<int>(area[2]), static_cast<int>(area[3])});
}

bool supports(Display* display, ::Window root, const char* hint) {
    const std::vector<long> supported = readLongs(display, root, "_NET_SUPPORTED", XA_ATOM);
    const Atom atom = XInternAtom(display, hint, False);
    return std::find(supported.begin(), supported.end(), static_cast<long>(atom)) !=
           supported.end();
}

// Sets the hints a window of one size gives: position, size, and minimum = maximum = that size.
void setFixedSizeHints(Display* display, ::Window window, const ScreenRect& place) {
    // Every field is ours: reading the toolkit's hints back would wait on the server.
    XSizeHints* hints = XAllocSizeHints();
    if (hints == nullptr) {
        return;
    }
    hints->flags = PPosition | PSize | PMinSize | PMaxSize;
    hints->x = place.x;
    hints->y = place.y;
    hints->width = hints->min_width = hints->max_width = place.width;
    hints->height = hints->min_height = hints->max_height = place.height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
    XClassHint classHint{kInstanceName, kClassName};
    XSetClassHint(display, window, &classHint);
}

// What the window manager will put round the game's window. Asked for a stand-in window with the
// same hints that is never mapped, so the only frame the manager writes on it is its answer: on
// the game's own window, which the toolkit maps as it creates it, a manager may still be writing
// the frame of that first mapping. No manager, no frame.
FrameExtents frameFor(Display* display, ::Window root, const ScreenRect& place) {
    if (readLongs(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty()) {
        return FrameExtents{};
    }
    const FrameExtents assumed{0, 0, kAssumedTitleBar, 0};
    if (!supports(display, root, "_NET_REQUEST_FRAME_EXTENTS")) {
        return assumed;
    }
    const ::Window standIn =
        XCreateSimpleWindow(display, root, place.x, place.y, static_cast<unsigned>(place.width),
                            static_cast<unsigned>(place.height), 0, 0, 0);
    setFixedSizeHints(display, standIn, place);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = standIn;
    request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    request.xclient.format = 32;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
    XFlush(display);
    FrameExtents frame = assumed;
    const auto deadline = std::chrono::steady_clock::now() + kFrameAnswerWait;
    for (;;) {
        const std::vector<long> e = readLongs(display, standIn, "_NET_FRAME_EXTENTS", XA_CARDINAL);
        if (e.size() == 4) {
            frame = FrameExtents{static_cast<int>(e[0]), static_cast<int>(e[1]),
                                 static_cast<int>(e[2]), static_cast<int>(e[3])};
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(kFramePoll);
    }
    XDestroyWindow(display, standIn);
    return frame;
}

} // namespace

ScreenRect planWindow(int x, int y, int pictureWidth, int pictureHeight) {
    const ScreenRect unscaled{x, y, pictureWidth, pictureHeight};
    // The toolkit's connection comes with its window; the plan has to be ready before that.
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return unscaled;
    }
    const ::Window root = DefaultRootWindow(display);
    const double scale = desktopScale(XResourceManagerString(display), std::getenv("GDK_SCALE"));
    const ScreenRect wanted{x, y, scaledLength(pictureWidth, scale),
                            scaledLength(pictureHeight, scale)};
    const ScreenRect placed =
        placeWindow(roomAt(display, root, x, y), frameFor(display, root, wanted), wanted.width,
                    wanted.height, x, y);
    XCloseDisplay(display);
    return placed;
}

void declareFixedSizeWindow(const ScreenRect& place) {
    // The toolkit made its window's context current, and the drawable is that window.
    Display* display = glXGetCurrentDisplay();
    const ::Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == None) {
        return;
    }
    setFixedSizeHints(display, window, place);
    setWindowIcon(display, window);

    // A window manager may already have taken the window on with the toolkit's hints, and a tiling
    // one decides there whether the window floats. Withdrawing it and mapping it again makes every
    // manager take it on afresh with the hints above; the requests reach it in this order.
    XWithdrawWindow(display, window, DefaultScreen(display));
    XMoveWindow(display, window, place.x, place.y);
    XMapWindow(display, window);
    XFlush(display);
}
