#include "desktop/XProperty.h"

std::vector<long> readLongs(Display* display, ::Window window, Atom property, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, property, 0, kMostPropertyItems, False, type,
                           &actualType, &format, &count, &remaining, &data) == Success &&
        actualType == type && format == 32 && data != nullptr &&
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
