#pragma once
// The X display as a player meets it: find the game's window, move the pointer and press buttons
// with real (XTest) events, press keys, resize and close the window, and read its pixels.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// An X window id (Xlib's Window), kept apart from Xlib's macros, which clash with GoogleTest.
using Window = unsigned long;
struct _XDisplay;

// A copy of a window's pixels.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // 3 bytes a pixel, rows top first

    struct Pixel {
        int r = 0, g = 0, b = 0;
    };
    Pixel at(int x, int y) const;
    // Writes a binary PPM (for a look at a failing test).
    bool save(const std::string& path) const;
};

struct WindowGeometry {
    int x = 0; // position of the window's inside on the root window
    int y = 0;
    int width = 0;
    int height = 0;
};

class XDisplay {
  public:
    // The display named in DISPLAY, or the one named here (":5").
    explicit XDisplay(const std::string& name = "");
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // Waits for a mapped top-level window with this title that has settled in its place; 0 when
    // none appears in time.
    Window waitForWindow(const std::string& title, std::chrono::milliseconds timeout);
    // Titles of every mapped top-level window with this title (to count them).
    int countWindows(const std::string& title);
    // A mapped window with this title as it is now, settled or not; 0 when there is none.
    Window firstWindow(const std::string& title);
    WindowGeometry geometry(Window window);
    // The window manager's frame round the window (the top-level window that holds it, borders
    // included); the window's own geometry where nothing frames it.
    WindowGeometry frameGeometry(Window window);
    std::string title(Window window);
    // Waits until the window has kept its place and size for a few polls.
    void waitUntilSettled(Window window, std::chrono::milliseconds timeout);
    Window root() const;

    // The name of the window manager running on the display, from its EWMH check window; empty
    // while none has taken over.
    std::string windowManagerName();
    // Sets the X resources programs read as they connect (RESOURCE_MANAGER on the root window,
    // as xrdb does): "Xft.dpi:\t192\n" is a desktop scaled to 200%.
    void setResources(const std::string& resources);
    // The names of the atoms in a window's list property (_NET_WM_STATE, _NET_WM_ALLOWED_ACTIONS).
    std::vector<std::string> atomNames(Window window, const char* property);
    // The values of a window's CARDINAL list property (_NET_WM_ICON); empty when it has none.
    std::vector<unsigned long> cardinals(Window window, const char* property);
    // Sets one, as a pager or window manager, a faulty one too, would.
    void setCardinals(Window window, const char* property, const std::vector<long>& values);
    // A dock along the screen's bottom edge that reserves its height (_NET_WM_STRUT_PARTIAL), as a
    // panel does; destroy() takes it away.
    Window addPanel(int screenWidth, int screenHeight, int height);

    // Pointer and buttons, through XTest, in window coordinates (may lie outside the window).
    void movePointer(Window window, int x, int y);
    void moveRoot(int x, int y);
    void press(unsigned button); // X buttons: 1 left, 2 middle, 3 right, 4/5 wheel
    void release(unsigned button);
    void click(unsigned button);
    void tapKey(const char* keysymName);

    void resize(Window window, int width, int height);
    // Asks the window to close as a window manager's close button does.
    void close(Window window);
    // Destroys the window from this connection, as xdotool windowclose does.
    void destroy(Window window);
    // Asks the window manager to minimise the window, as a task bar does (ICCCM's WM_CHANGE_STATE).
    void minimise(Window window);
    // Maps a window of this connection's own over the whole screen, above every other window,
    // which no window manager frames or moves; destroy() takes it away.
    Window coverScreen();

    Screenshot capture(Window window);
    // Polls the window until check accepts a screenshot; the last one is kept in last.
    bool waitForPicture(Window window, const std::function<bool(const Screenshot&)>& check,
                        std::chrono::milliseconds timeout, Screenshot* last = nullptr);
    // Waits until the game has put a few whole new pictures into the window. The game reads all
    // its pending events before each frame, so by then it has handled every event sent before
    // the call. False when the pictures stop coming.
    bool waitForFrames(Window window, int frames = 3);

    void sync();
    _XDisplay* raw() const { return display_; }

  private:
    Window settle(Window window, std::chrono::steady_clock::time_point deadline);

    _XDisplay* display_ = nullptr;
};

// A sleep between polls, and the pace of a stream of events.
void pause(std::chrono::milliseconds duration);
// Polls the condition until it holds; false when it still does not at the timeout.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
