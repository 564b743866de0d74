#pragma once
// What the desktop does around the game's window that the toolkit never reports: the screen
// changing its size or monitors (a laptop undocked, a resolution lowered), the panels' work area
// changing, the window manager minimising the window without unmapping it (as Wayland desktops
// do through Xwayland) or framing it. The toolkit's loop reads only its own connection and drops
// every event it has no callback for, so the game watches on an X connection of its own and looks
// at what came whenever it likes, without ever waiting. Xlib stays out of this header.

struct _XDisplay;

class DesktopWatch {
  public:
    // The kinds of news, as bits of what takeChanges returns.
    enum Change : unsigned {
        kNoChange = 0,
        // RandR: the screen's size, its modes, outputs or monitors.
        kScreenChanged = 1u << 0,
        // _NET_WORKAREA or _NET_CURRENT_DESKTOP on the root window: a panel came, went or moved.
        kWorkAreaChanged = 1u << 1,
        // WM_STATE or _NET_WM_STATE on the window: minimised, restored, maximised, ...; or the
        // window mapped or unmapped.
        kStateChanged = 1u << 2,
        // _NET_FRAME_EXTENTS on the window, or the window reparented into a frame.
        kFrameChanged = 1u << 3,
        // The window was destroyed.
        kWindowGone = 1u << 4,
        // The window moved or changed its size (a player dragging it, the manager placing it).
        kMoved = 1u << 5,
    };

    DesktopWatch() = default;
    ~DesktopWatch();
    DesktopWatch(const DesktopWatch&) = delete;
    DesktopWatch& operator=(const DesktopWatch&) = delete;

    // Opens a connection to the server the toolkit's display talks to and starts watching the
    // window and the root window. False, and nothing watched, when the server cannot be reached.
    bool watch(_XDisplay* toolkitDisplay, unsigned long window);
    // The same for the toolkit's current window: the drawable of the GL context it made current.
    bool watchCurrentWindow();
    bool watching() const { return display_ != nullptr; }
    // Every kind of news that came since the last call, or kNoChange; never waits.
    unsigned takeChanges();
    // Whether the window manager says the window is minimised: WM_STATE Iconic, or
    // _NET_WM_STATE_HIDDEN, which a manager may set on a window that it keeps mapped.
    bool minimised() const;
    // The connection's file descriptor, readable when news may be waiting; -1 when not watching.
    int descriptor() const;
    // The watch's own connection, for reading what changed; null when not watching.
    _XDisplay* display() const { return display_; }
    unsigned long window() const { return window_; }

  private:
    unsigned changeOf(const union _XEvent& event) const;

    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    unsigned long root_ = 0;
    // RandR's first event number on this connection; -1 where the server has no RandR.
    int randrEventBase_ = -1;
    // The atoms the watch tells apart, interned once.
    unsigned long workArea_ = 0;
    unsigned long currentDesktop_ = 0;
    unsigned long wmState_ = 0;
    unsigned long netWmState_ = 0;
    unsigned long netWmStateHidden_ = 0;
    unsigned long frameExtents_ = 0;
};
