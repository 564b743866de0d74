#include "desktop/XProperty.h"

namespace {

// The connection and the first request whose errors are being dropped, and whether one came.
Display* trappedDisplay = nullptr;
unsigned long firstTrappedRequest = 0;
bool trappedError = false;
XErrorHandler outerHandler = nullptr;

int trapError(Display* display, XErrorEvent* error) {
    if (display == trappedDisplay && error->serial >= firstTrappedRequest) {
        trappedError = true;
        return 0;
    }
    return outerHandler != nullptr ? outerHandler(display, error) : 0;
}

} // namespace

bool withoutXErrors(Display* display, const std::function<void()>& requests) {
    outerHandler = XSetErrorHandler(trapError);
    trappedDisplay = display;
    firstTrappedRequest = NextRequest(display);
    trappedError = false;
    requests();
    // A request with a reply has had its answer, error or not; others need a round trip.
    if (LastKnownRequestProcessed(display) + 1 < NextRequest(display)) {
        XSync(display, False);
    }
    XSetErrorHandler(outerHandler);
    trappedDisplay = nullptr;
    return !trappedError;
}

std::vector<long> readLongs(Display* display, ::Window window, Atom property, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    int status = BadImplementation;
    withoutXErrors(display, [&] {
        status = XGetWindowProperty(display, window, property, 0, kMostPropertyItems, False, type,
                                    &actualType, &format, &count, &remaining, &data);
    });
    if (status == Success && actualType == type && format == 32 && data != nullptr &&
        count <= static_cast<unsigned long>(kMostPropertyItems)) {
        const long* items = reinterpret_cast<const long*>(data);
        values.assign(items, items + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return values;
}

std::vector<long> readLongs(Display* display, ::Window window, const char* property, Atom type) {
    return readLongs(display, window, XInternAtom(display, property, False), type);
}
