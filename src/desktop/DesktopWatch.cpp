#include "desktop/DesktopWatch.h"

#include "desktop/XProperty.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>

namespace {

// ICCCM's WM_STATE holds the state first: IconicState (3) for a minimised window.
constexpr long kIconicState = IconicState;

} // namespace

DesktopWatch::~DesktopWatch() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

bool DesktopWatch::watch(_XDisplay* toolkitDisplay, unsigned long window) {
    if (display_ != nullptr || toolkitDisplay == nullptr || window == None) {
        return false;
    }
    display_ = XOpenDisplay(DisplayString(toolkitDisplay));
    if (display_ == nullptr) {
        return false;
    }
    window_ = window;
    root_ = DefaultRootWindow(display_);
    workArea_ = XInternAtom(display_, "_NET_WORKAREA", False);
    currentDesktop_ = XInternAtom(display_, "_NET_CURRENT_DESKTOP", False);
    wmState_ = XInternAtom(display_, "WM_STATE", False);
    netWmState_ = XInternAtom(display_, "_NET_WM_STATE", False);
    netWmStateHidden_ = XInternAtom(display_, "_NET_WM_STATE_HIDDEN", False);
    frameExtents_ = XInternAtom(display_, "_NET_FRAME_EXTENTS", False);

    // Selecting on another client's window adds to what that client selected; the toolkit's own
    // events are untouched.
    XSelectInput(display_, root_, PropertyChangeMask);
    XSelectInput(display_, window_, PropertyChangeMask | StructureNotifyMask);
    int errorBase = 0;
    if (XRRQueryExtension(display_, &randrEventBase_, &errorBase)) {
        XRRSelectInput(display_, root_,
                       RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask |
                           RROutputChangeNotifyMask);
    } else {
        randrEventBase_ = -1;
    }
    XFlush(display_);
    return true;
}

bool DesktopWatch::watchCurrentWindow() {
    return watch(glXGetCurrentDisplay(), glXGetCurrentDrawable());
}

unsigned DesktopWatch::changeOf(const XEvent& event) const {
    if (randrEventBase_ >= 0 && (event.type == randrEventBase_ + RRScreenChangeNotify ||
                                 event.type == randrEventBase_ + RRNotify)) {
        return kScreenChanged;
    }
    switch (event.type) {
    case PropertyNotify:
        if (event.xproperty.window == root_) {
            const Atom atom = event.xproperty.atom;
            return atom == workArea_ || atom == currentDesktop_ ? kWorkAreaChanged : kNoChange;
        }
        if (event.xproperty.atom == wmState_ || event.xproperty.atom == netWmState_) {
            return kStateChanged;
        }
        return event.xproperty.atom == frameExtents_ ? kFrameChanged : kNoChange;
    case ReparentNotify:
        return kFrameChanged;
    case MapNotify:
    case UnmapNotify:
        return kStateChanged;
    case ConfigureNotify:
        return kMoved;
    case DestroyNotify:
        return kWindowGone;
    default:
        return kNoChange;
    }
}

unsigned DesktopWatch::takeChanges() {
    unsigned changes = kNoChange;
    if (display_ == nullptr) {
        return changes;
    }
    // XPending reads what the socket holds without waiting for more.
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (randrEventBase_ >= 0 && event.type == randrEventBase_ + RRScreenChangeNotify) {
            // Keeps this connection's idea of the screen's size up to date.
            XRRUpdateConfiguration(&event);
        }
        changes |= changeOf(event);
    }
    return changes;
}

bool DesktopWatch::minimised() const {
    if (display_ == nullptr) {
        return false;
    }
    const std::vector<long> state = readLongs(display_, window_, wmState_, wmState_);
    if (!state.empty() && state[0] == kIconicState) {
        return true;
    }
    const std::vector<long> netState = readLongs(display_, window_, netWmState_, XA_ATOM);
    return std::find(netState.begin(), netState.end(), static_cast<long>(netWmStateHidden_)) !=
           netState.end();
}

int DesktopWatch::descriptor() const {
    return display_ != nullptr ? ConnectionNumber(display_) : -1;
}
