#include "desktop/DesktopWatch.h"

// GoogleTest before Xlib, whose macros (None, Bool) would rename GoogleTest's own words.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>

namespace {

// Another client's requests reach the watch's connection after a round trip through the server;
// a loaded machine may take its time.
constexpr auto kNewsTimeout = std::chrono::seconds(10);

// Waits for news of the kind, collecting every kind that comes meanwhile.
unsigned waitFor(DesktopWatch& watch, unsigned kind) {
    unsigned seen = watch.takeChanges();
    const auto deadline = std::chrono::steady_clock::now() + kNewsTimeout;
    while ((seen & kind) == 0 && std::chrono::steady_clock::now() < deadline) {
        pollfd readable{watch.descriptor(), POLLIN, 0};
        poll(&readable, 1, 100);
        seen |= watch.takeChanges();
    }
    return seen;
}

} // namespace

// The news the toolkit drops: a panel's work area, the manager minimising the window without
// unmapping it, and the window's end.
TEST(DesktopWatch, HearsWhatTheDesktopDoesAroundTheWindow) {
    Display* desktop = XOpenDisplay(nullptr);
    ASSERT_NE(desktop, nullptr) << "no X display";
    const Window root = DefaultRootWindow(desktop);
    const Window window = XCreateSimpleWindow(desktop, root, 0, 0, 64, 48, 0, 0, 0);
    XSync(desktop, False);

    DesktopWatch watch;
    ASSERT_TRUE(watch.watch(desktop, window));
    EXPECT_EQ(watch.takeChanges(), DesktopWatch::kNoChange);
    EXPECT_FALSE(watch.minimised());

    // An empty work area reads as none, so other tests on this display see no panel.
    const Atom workArea = XInternAtom(desktop, "_NET_WORKAREA", False);
    XChangeProperty(desktop, root, workArea, XA_CARDINAL, 32, PropModeAppend, nullptr, 0);
    XDeleteProperty(desktop, root, workArea);
    XSync(desktop, False);
    EXPECT_NE(waitFor(watch, DesktopWatch::kWorkAreaChanged) & DesktopWatch::kWorkAreaChanged, 0u);

    // Minimised as a Wayland desktop does it, the window still mapped; then as ICCCM says it.
    const Atom netState = XInternAtom(desktop, "_NET_WM_STATE", False);
    const long hidden = static_cast<long>(XInternAtom(desktop, "_NET_WM_STATE_HIDDEN", False));
    XChangeProperty(desktop, window, netState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&hidden), 1);
    XSync(desktop, False);
    EXPECT_NE(waitFor(watch, DesktopWatch::kStateChanged) & DesktopWatch::kStateChanged, 0u);
    EXPECT_TRUE(watch.minimised());
    XDeleteProperty(desktop, window, netState);
    const Atom wmState = XInternAtom(desktop, "WM_STATE", False);
    const long iconic[] = {IconicState, None};
    XChangeProperty(desktop, window, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(iconic), 2);
    XSync(desktop, False);
    waitFor(watch, DesktopWatch::kStateChanged);
    EXPECT_TRUE(watch.minimised());
    const long normal[] = {NormalState, None};
    XChangeProperty(desktop, window, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(normal), 2);
    XSync(desktop, False);
    waitFor(watch, DesktopWatch::kStateChanged);
    EXPECT_FALSE(watch.minimised());

    XDestroyWindow(desktop, window);
    XSync(desktop, False);
    EXPECT_NE(waitFor(watch, DesktopWatch::kWindowGone) & DesktopWatch::kWindowGone, 0u);
    XCloseDisplay(desktop);
}
