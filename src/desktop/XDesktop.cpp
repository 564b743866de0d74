#include "desktop/XDesktop.h"

#include "desktop/XProperty.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <vector>

namespace {

// RandR reports monitors from this version on.
constexpr int kMonitorsMajor = 1;
constexpr int kMonitorsMinor = 5;

bool holds(const PixelRect& r, int x, int y) {
    return x >= r.x && y >= r.y && x - r.x < r.width && y - r.y < r.height;
}

bool hasMonitors(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    return XRRQueryExtension(display, &eventBase, &errorBase) &&
           XRRQueryVersion(display, &major, &minor) &&
           (major > kMonitorsMajor || (major == kMonitorsMajor && minor >= kMonitorsMinor));
}

// The monitor that shows the point, the first where none does, or the screen where the server
// reports no monitors. Each monitor counts only as far as it lies on the screen.
PixelRect monitorAt(Display* display, const PixelRect& screen, int x, int y) {
    if (!hasMonitors(display)) {
        return screen;
    }
    PixelRect room = screen;
    bool found = false;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    for (int i = 0; i < count && !found; ++i) {
        const XRRMonitorInfo& m = monitors[i];
        const PixelRect monitor = intersection(screen, PixelRect{m.x, m.y, m.width, m.height});
        if (monitor.width == 0) {
            continue;
        }
        found = holds(monitor, x, y);
        if (found || room == screen) {
            room = monitor;
        }
    }
    if (monitors != nullptr) {
        XRRFreeMonitors(monitors);
    }
    return room;
}

} // namespace

std::optional<PixelRect> outerGeometryOf(Display* display, ::Window window) {
    ::Window root = None;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    Status status = 0;
    withoutXErrors(display, [&] {
        status = XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth);
    });
    if (status == 0) {
        return std::nullopt;
    }
    return PixelRect{x, y, static_cast<int>(width + 2 * border),
                     static_cast<int>(height + 2 * border)};
}

PixelRect screenOf(Display* display) {
    // The root window's geometry follows every RandR change; DisplayWidth is the size at connect.
    const int screen = DefaultScreen(display);
    if (const std::optional<PixelRect> root =
            outerGeometryOf(display, RootWindow(display, screen))) {
        return PixelRect{0, 0, root->width, root->height};
    }
    return PixelRect{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
}

PixelRect roomAt(Display* display, int x, int y) {
    const ::Window root = DefaultRootWindow(display);
    const PixelRect screen = screenOf(display);
    const PixelRect monitor = monitorAt(display, screen, x, y);
    const std::optional<PixelRect> workArea =
        workAreaOf(readLongs(display, root, "_NET_WORKAREA", XA_CARDINAL),
                   readLongs(display, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL), screen);
    if (!workArea) {
        return monitor;
    }
    // A work area that leaves this monitor nothing (it spans the others) says nothing about it.
    const PixelRect room = intersection(monitor, *workArea);
    return room.width > 0 ? room : monitor;
}

bool windowManagerRuns(Display* display) {
    const ::Window root = DefaultRootWindow(display);
    const std::vector<long> check = readLongs(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (check.empty()) {
        return false;
    }
    const ::Window own = static_cast<::Window>(check[0]);
    const std::vector<long> again = readLongs(display, own, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    return !again.empty() && static_cast<::Window>(again[0]) == own;
}

bool supports(Display* display, const char* hint) {
    const std::vector<long> supported =
        readLongs(display, DefaultRootWindow(display), "_NET_SUPPORTED", XA_ATOM);
    const Atom atom = XInternAtom(display, hint, False);
    return std::find(supported.begin(), supported.end(), static_cast<long>(atom)) !=
           supported.end();
}

void setFixedSizeHints(Display* display, ::Window window, const PixelRect& place) {
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
}
