#include "desktop/WindowKeeper.h"

#include "desktop/DesktopWatch.h"
#include "desktop/XDesktop.h"
#include "desktop/XProperty.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <vector>

namespace {

// The news after which the window's room or frame may differ. A move alone does not count, nor
// a change of state (focus, maximised, restored): a player who drags the window partly off the
// screen means it.
constexpr unsigned kRoomOrFrameNews =
    DesktopWatch::kScreenChanged | DesktopWatch::kWorkAreaChanged | DesktopWatch::kFrameChanged;

// The window's states in which the manager decides its size.
constexpr const char* kManagedSizes[] = {"_NET_WM_STATE_FULLSCREEN", "_NET_WM_STATE_MAXIMIZED_VERT",
                                         "_NET_WM_STATE_MAXIMIZED_HORZ"};

// The manager's window that holds this one as a child of the root, or the window itself where no
// manager reparented it; None when the window is gone.
::Window topLevelOf(Display* display, ::Window window) {
    ::Window current = window;
    for (;;) {
        ::Window root = None;
        ::Window parent = None;
        ::Window* children = nullptr;
        unsigned count = 0;
        Status status = 0;
        withoutXErrors(display, [&] {
            status = XQueryTree(display, current, &root, &parent, &children, &count);
        });
        if (children != nullptr) {
            XFree(children);
        }
        if (status == 0) {
            return None;
        }
        if (parent == root || parent == None) {
            return current;
        }
        current = parent;
    }
}

} // namespace

void WindowKeeper::keep(_XDisplay* display, unsigned long window, int fullWidth, int fullHeight,
                        const PixelRect& hinted) {
    display_ = display;
    firstCall_ = true;
    lookDue_ = true;
    hinted_ = hinted;
    window_ = window;
    fullWidth_ = fullWidth;
    fullHeight_ = fullHeight;
}

bool WindowKeeper::sizedByManager() {
    const std::vector<long> state = readLongs(display_, window_, "_NET_WM_STATE", XA_ATOM);
    return std::any_of(std::begin(kManagedSizes), std::end(kManagedSizes), [&](const char* name) {
        const long atom = static_cast<long>(XInternAtom(display_, name, False));
        return std::find(state.begin(), state.end(), atom) != state.end();
    });
}

std::optional<FrameExtents> WindowKeeper::currentFrame(const PixelRect& window,
                                                       const PixelRect& screen) {
    const std::optional<FrameExtents> told =
        frameFromExtents(readLongs(display_, window_, "_NET_FRAME_EXTENTS", XA_CARDINAL), screen);
    if (told) {
        return told;
    }
    const ::Window topLevel = topLevelOf(display_, window_);
    if (topLevel == None) {
        return std::nullopt;
    }
    if (topLevel != window_) {
        const std::optional<PixelRect> frame = outerGeometryOf(display_, topLevel);
        if (!frame) {
            return std::nullopt;
        }
        return frameAround(window, *frame, screen);
    }
    // Not reparented: no frame, unless a manager runs that has yet to take the window on (it
    // sets WM_STATE when it does).
    const Atom wmState = XInternAtom(display_, "WM_STATE", False);
    if (windowManagerRuns(display_) && readLongs(display_, window_, wmState, wmState).empty()) {
        return std::nullopt;
    }
    return FrameExtents{};
}

std::optional<PixelRect> WindowKeeper::refit(unsigned changes) {
    // Until a look finds the window shown and framed, any news may be the manager taking it on
    // (which it may have done before the watch began: the first call looks anyway) or giving it
    // back (restored from minimised, from fullscreen). While the manager has yet to carry out a
    // request, its moves are its answer.
    const unsigned news = lookDue_ ? ~0u
                          : asked_ ? kRoomOrFrameNews | DesktopWatch::kMoved
                                   : kRoomOrFrameNews;
    if (display_ == nullptr || ((changes & news) == 0 && !firstCall_)) {
        return std::nullopt;
    }
    firstCall_ = false;
    // A window not shown now, or sized by the manager, is looked at again after the next news.
    lookDue_ = true;
    XWindowAttributes attributes{};
    ::Window child = None;
    PixelRect window;
    const bool there = withoutXErrors(display_, [&] {
        XGetWindowAttributes(display_, window_, &attributes);
        XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), 0, 0, &window.x,
                              &window.y, &child);
    });
    if (!there || attributes.map_state != IsViewable || sizedByManager()) {
        return std::nullopt;
    }
    window.width = attributes.width;
    window.height = attributes.height;
    const PixelRect screen = screenOf(display_);
    const std::optional<FrameExtents> frame = currentFrame(window, screen);
    if (!frame) {
        return std::nullopt;
    }
    lookDue_ = false;

    // Where the frame's corner is, and the room of the monitor that shows the frame's middle.
    const PixelRect now{window.x - frame->left, window.y - frame->top, window.width, window.height};
    const int middleX = now.x + (frame->left + window.width + frame->right) / 2;
    const int middleY = now.y + (frame->top + window.height + frame->bottom) / 2;
    // Until the manager has carried out a request, the window is meant to be where it was asked.
    const PixelRect from = asked_.value_or(now);
    const PixelRect target = placeWindow(roomAt(display_, middleX, middleY), *frame, fullWidth_,
                                         fullHeight_, from.x, from.y);
    // A manager may put the window back at an earlier size of its own accord (KWin does, when a
    // screen comes back), and then holds it to the size the hints say: those must say it too.
    const bool hinted = target.width == hinted_.width && target.height == hinted_.height;
    if (target == now && hinted) {
        asked_.reset();
        return std::nullopt;
    }
    if (asked_ == target) {
        // The size taken, the frame put elsewhere: the manager reads a requested place in a way
        // of its own (i3 takes it for the window's top edge, not the frame's). It is asked once
        // more, the place offset by the difference.
        if (!corrected_ && now.width == target.width && now.height == target.height) {
            corrected_ = true;
            XMoveWindow(display_, window_, 2 * target.x - now.x, 2 * target.y - now.y);
            XFlush(display_);
        }
        return std::nullopt;
    }
    asked_ = target;
    corrected_ = false;
    hinted_ = target;
    // The hints first: a manager holds a window to the size they give.
    setFixedSizeHints(display_, window_, target);
    if (target != now) {
        XMoveResizeWindow(display_, window_, target.x, target.y,
                          static_cast<unsigned>(target.width),
                          static_cast<unsigned>(target.height));
    }
    XFlush(display_);
    return target;
}
