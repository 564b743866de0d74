#include <X11/Xlib.h>

#include "Display.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <thread>

namespace {

// X errors (a window that vanished between two calls) are not fatal to a test.
int ignoreXError(::Display*, XErrorEvent*) {
    return 0;
}

int channelShift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1UL) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

} // namespace

void pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        pause(std::chrono::milliseconds(20));
    }
    return true;
}

Screenshot::Pixel Screenshot::at(int x, int y) const {
    Pixel p;
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return p;
    }
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    p.r = rgb[i];
    p.g = rgb[i + 1];
    p.b = rgb[i + 2];
    return p;
}

bool Screenshot::save(const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    const bool ok = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    std::fclose(file);
    return ok;
}

XDisplay::XDisplay(const std::string& name) {
    // The server now and then turns a connection away while an earlier game's are being torn
    // down; a moment later it answers.
    for (int attempt = 0; attempt < 50 && display_ == nullptr; ++attempt) {
        display_ = XOpenDisplay(name.empty() ? nullptr : name.c_str());
        if (display_ == nullptr) {
            pause(std::chrono::milliseconds(100));
        }
    }
    if (display_ == nullptr) {
        throw std::runtime_error("cannot open the X display " +
                                 (name.empty() ? "(is DISPLAY set?)" : name));
    }
    // The games this test starts must not inherit its connection.
    fcntl(ConnectionNumber(display_), F_SETFD, FD_CLOEXEC);
    XSetErrorHandler(ignoreXError);
}

XDisplay::~XDisplay() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

void XDisplay::sync() {
    XSync(display_, False);
}

std::string XDisplay::title(Window window) {
    char* name = nullptr;
    std::string result;
    if (XFetchName(display_, window, &name) && name != nullptr) {
        result = name;
        XFree(name);
    }
    return result;
}

namespace {

void findWindows(::Display* display, Window parent, const std::string& title,
                 std::vector<Window>& found) {
    Window root = 0;
    Window parentOut = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &parentOut, &children, &count)) {
        return;
    }
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) ||
            attributes.map_state != IsViewable) {
            continue;
        }
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name != nullptr) {
            if (title == name) {
                found.push_back(children[i]);
            }
            XFree(name);
        }
        findWindows(display, children[i], title, found);
    }
    if (children != nullptr) {
        XFree(children);
    }
}

} // namespace

int XDisplay::countWindows(const std::string& title) {
    std::vector<Window> found;
    findWindows(display_, DefaultRootWindow(display_), title, found);
    return static_cast<int>(found.size());
}

// A new window is mapped first and moved into place just after: wait until it stays put.
Window XDisplay::settle(Window window, std::chrono::steady_clock::time_point deadline) {
    WindowGeometry previous = geometry(window);
    int steady = 0;
    while (steady < 3 && std::chrono::steady_clock::now() < deadline) {
        pause(std::chrono::milliseconds(100));
        const WindowGeometry now = geometry(window);
        const bool same = now.x == previous.x && now.y == previous.y &&
                          now.width == previous.width && now.height == previous.height;
        steady = same ? steady + 1 : 0;
        previous = now;
    }
    return window;
}

void XDisplay::waitUntilSettled(Window window, std::chrono::milliseconds timeout) {
    settle(window, std::chrono::steady_clock::now() + timeout);
}

Window XDisplay::root() const {
    return DefaultRootWindow(display_);
}

namespace {

// A window-valued property of a window, or 0.
Window windowProperty(::Display* display, Window window, const char* property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    Window value = 0;
    if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 1, False,
                           XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        if (type == XA_WINDOW && format == 32 && count == 1) {
            value = *reinterpret_cast<unsigned long*>(data);
        }
        XFree(data);
    }
    return value;
}

std::string utf8Property(::Display* display, Window window, const char* property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string value;
    if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 256, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        if (format == 8) {
            value.assign(reinterpret_cast<const char*>(data), count);
        }
        XFree(data);
    }
    return value;
}

} // namespace

std::string XDisplay::windowManagerName() {
    // A window manager names a child window on the root, which names itself again: a leftover
    // property of one that has gone points at a window that no longer says so.
    const Window check = windowProperty(display_, root(), "_NET_SUPPORTING_WM_CHECK");
    if (check == 0 || windowProperty(display_, check, "_NET_SUPPORTING_WM_CHECK") != check) {
        return "";
    }
    const std::string name = utf8Property(display_, check, "_NET_WM_NAME");
    return name.empty() ? "unnamed" : name;
}

void XDisplay::setResources(const std::string& resources) {
    XChangeProperty(display_, root(), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(resources.data()),
                    static_cast<int>(resources.size()));
    XSync(display_, False);
}

std::vector<std::string> XDisplay::atomNames(Window window, const char* property) {
    std::vector<std::string> names;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, property, False), 0, 64, False,
                           XA_ATOM, &type, &format, &count, &after, &data) != Success ||
        data == nullptr) {
        return names;
    }
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; format == 32 && i < count; ++i) {
        char* name = XGetAtomName(display_, atoms[i]);
        if (name != nullptr) {
            names.emplace_back(name);
            XFree(name);
        }
    }
    XFree(data);
    return names;
}

std::vector<unsigned long> XDisplay::cardinals(Window window, const char* property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, property, False), 0, 1 << 20,
                           False, XA_CARDINAL, &type, &format, &count, &after, &data) != Success) {
        return {};
    }
    const auto* values = reinterpret_cast<const unsigned long*>(data); // Xlib's 32-bit format
    std::vector<unsigned long> list(values, values + (format == 32 ? count : 0));
    XFree(data);
    return list;
}

Window XDisplay::firstWindow(const std::string& title) {
    std::vector<Window> found;
    findWindows(display_, DefaultRootWindow(display_), title, found);
    return found.empty() ? 0 : found.front();
}

void XDisplay::setCardinals(Window window, const char* property, const std::vector<long>& values) {
    XChangeProperty(display_, window, XInternAtom(display_, property, False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
    sync();
}

Window XDisplay::addPanel(int screenWidth, int screenHeight, int height) {
    const Window panel = XCreateSimpleWindow(display_, root(), 0, screenHeight - height,
                                             static_cast<unsigned>(screenWidth),
                                             static_cast<unsigned>(height), 0, 0, 0x303030);
    const long dock = static_cast<long>(XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DOCK", False));
    XChangeProperty(display_, panel, XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False), XA_ATOM,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&dock), 1);
    // left, right, top, bottom, then the edges' start and end: the bottom one, all along.
    setCardinals(panel, "_NET_WM_STRUT_PARTIAL",
                 {0, 0, 0, height, 0, 0, 0, 0, 0, 0, 0, screenWidth - 1});
    // A window manager that has only just named itself may drop a request it got meanwhile.
    XWindowAttributes attributes{};
    for (int attempt = 0; attempt < 10 && attributes.map_state != IsViewable; ++attempt) {
        XMapWindow(display_, panel);
        sync();
        waitUntil(
            [&] {
                return XGetWindowAttributes(display_, panel, &attributes) &&
                       attributes.map_state == IsViewable;
            },
            std::chrono::seconds(1));
    }
    return panel;
}

Window XDisplay::waitForWindow(const std::string& title, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::vector<Window> found;
        findWindows(display_, DefaultRootWindow(display_), title, found);
        if (!found.empty()) {
            return settle(found.front(), deadline);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return 0;
        }
        pause(std::chrono::milliseconds(20));
    }
}

WindowGeometry XDisplay::geometry(Window window) {
    WindowGeometry g;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes)) {
        return g;
    }
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &g.x, &g.y, &child);
    g.width = attributes.width;
    g.height = attributes.height;
    return g;
}

WindowGeometry XDisplay::frameGeometry(Window window) {
    Window root = 0;
    Window parent = window;
    Window* children = nullptr;
    unsigned count = 0;
    while (parent != root && XQueryTree(display_, window, &root, &parent, &children, &count)) {
        XFree(children);
        window = parent != root ? parent : window;
    }
    WindowGeometry g;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    XGetGeometry(display_, window, &root, &g.x, &g.y, &width, &height, &border, &depth);
    g.width = static_cast<int>(width + 2 * border);
    g.height = static_cast<int>(height + 2 * border);
    return g;
}

void XDisplay::moveRoot(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    sync();
}

void XDisplay::movePointer(Window window, int x, int y) {
    const WindowGeometry g = geometry(window);
    moveRoot(g.x + x, g.y + y);
}

void XDisplay::press(unsigned button) {
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    sync();
}

void XDisplay::release(unsigned button) {
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    sync();
}

void XDisplay::click(unsigned button) {
    press(button);
    pause(std::chrono::milliseconds(30));
    release(button);
}

void XDisplay::tapKey(const char* keysymName) {
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(keysymName));
    if (code == 0) {
        return;
    }
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    sync();
}

void XDisplay::resize(Window window, int width, int height) {
    XResizeWindow(display_, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    sync();
}

void XDisplay::close(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    sync();
}

void XDisplay::destroy(Window window) {
    XDestroyWindow(display_, window);
    sync();
}

void XDisplay::minimise(Window window) {
    XIconifyWindow(display_, window, DefaultScreen(display_));
    sync();
}

Window XDisplay::coverScreen() {
    const int screen = DefaultScreen(display_);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display_, screen);
    const Window cover =
        XCreateWindow(display_, root(), 0, 0, static_cast<unsigned>(DisplayWidth(display_, screen)),
                      static_cast<unsigned>(DisplayHeight(display_, screen)), 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display_, cover);
    sync();
    return cover;
}

Screenshot XDisplay::capture(Window window) {
    Screenshot shot;
    const WindowGeometry g = geometry(window);
    if (g.width <= 0 || g.height <= 0) {
        return shot;
    }
    XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(g.width),
                              static_cast<unsigned>(g.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return shot;
    }
    shot.width = g.width;
    shot.height = g.height;
    shot.rgb.resize(static_cast<std::size_t>(g.width) * g.height * 3);
    const int rs = channelShift(image->red_mask);
    const int gs = channelShift(image->green_mask);
    const int bs = channelShift(image->blue_mask);
    for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            const std::size_t i = (static_cast<std::size_t>(y) * g.width + x) * 3;
            shot.rgb[i] = static_cast<std::uint8_t>((pixel & image->red_mask) >> rs);
            shot.rgb[i + 1] = static_cast<std::uint8_t>((pixel & image->green_mask) >> gs);
            shot.rgb[i + 2] = static_cast<std::uint8_t>((pixel & image->blue_mask) >> bs);
        }
    }
    XDestroyImage(image);
    return shot;
}

bool XDisplay::waitForPicture(Window window, const std::function<bool(const Screenshot&)>& check,
                              std::chrono::milliseconds timeout, Screenshot* last) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        Screenshot shot = capture(window);
        const bool ok = shot.width > 0 && check(shot);
        if (last != nullptr) {
            *last = std::move(shot);
        }
        if (ok) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        pause(std::chrono::milliseconds(50));
    }
}

bool XDisplay::waitForFrames(Window window, int frames) {
    int eventBase = 0;
    int errorBase = 0;
    if (!XDamageQueryExtension(display_, &eventBase, &errorBase)) {
        return false;
    }
    const int height = geometry(window).height;
    const Damage damage = XDamageCreate(display_, window, XDamageReportRawRectangles);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int drawn = 0;
    while (drawn < frames && std::chrono::steady_clock::now() < deadline) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            // A big picture may arrive in strips, top first: the strip that reaches the bottom
            // edge ends it.
            if (event.type == eventBase + XDamageNotify) {
                const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
                drawn += notify.area.y + notify.area.height >= height ? 1 : 0;
            }
        }
        pause(std::chrono::milliseconds(5));
    }
    XDamageDestroy(display_, damage);
    XSync(display_, True);
    return drawn >= frames;
}
