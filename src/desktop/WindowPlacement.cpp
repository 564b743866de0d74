#include "desktop/WindowPlacement.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// Room for any sum or product of two ints, so nothing the desktop reports can overflow.
using Wide = long long;

// Desktops count their scale against the X default of 96 dots an inch.
constexpr double kBaseDpi = 96.0;
// Below this a scale would blur the picture for a difference no player would see.
constexpr double kLeastScale = 1.25;
// No desktop scales by more; a resource that says otherwise is a typo, not a wish.
constexpr double kMostScale = 8.0;
// Items of one desktop's work area in _NET_WORKAREA, and of _NET_FRAME_EXTENTS.
constexpr std::size_t kAreaItems = 4;
constexpr std::size_t kExtentItems = 4;

double sane(double scale) {
    return scale >= kLeastScale && scale <= kMostScale ? scale : 1.0;
}

// A property item as the 32-bit number it is on the wire: Xlib widens it with its sign.
Wide item(long value) {
    return static_cast<Wide>(static_cast<std::uint32_t>(value));
}

// Narrows a value already known to lie between two ints.
int narrow(Wide value) {
    return static_cast<int>(value);
}

// Borders that leave some of the screen between them, none of them negative.
std::optional<FrameExtents> plausibleFrame(Wide left, Wide right, Wide top, Wide bottom,
                                           const PixelRect& screen) {
    if (left < 0 || right < 0 || top < 0 || bottom < 0 || left + right >= screen.width ||
        top + bottom >= screen.height) {
        return std::nullopt;
    }
    return FrameExtents{narrow(left), narrow(right), narrow(top), narrow(bottom)};
}

} // namespace

bool operator==(const PixelRect& a, const PixelRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

PixelRect fitShape(const PixelRect& box, int shapeWidth, int shapeHeight) {
    if (box.width <= 0 || box.height <= 0 || shapeWidth <= 0 || shapeHeight <= 0) {
        return PixelRect{box.x, box.y, 0, 0};
    }
    PixelRect rect;
    if (Wide{box.width} * shapeHeight <= Wide{box.height} * shapeWidth) {
        rect.width = box.width;
        rect.height =
            narrow(std::llround(static_cast<double>(box.width) * shapeHeight / shapeWidth));
    } else {
        rect.height = box.height;
        rect.width =
            narrow(std::llround(static_cast<double>(box.height) * shapeWidth / shapeHeight));
    }
    // The bars, if any, shared equally.
    rect.x = narrow(box.x + (Wide{box.width} - rect.width) / 2);
    rect.y = narrow(box.y + (Wide{box.height} - rect.height) / 2);
    return rect;
}

PixelRect intersection(const PixelRect& a, const PixelRect& b) {
    const Wide left = std::max(a.x, b.x);
    const Wide top = std::max(a.y, b.y);
    const Wide right = std::min(Wide{a.x} + a.width, Wide{b.x} + b.width);
    const Wide bottom = std::min(Wide{a.y} + a.height, Wide{b.y} + b.height);
    if (right <= left || bottom <= top) {
        return PixelRect{};
    }
    return PixelRect{narrow(left), narrow(top), narrow(right - left), narrow(bottom - top)};
}

PixelRect placeWindow(const PixelRect& room, const FrameExtents& frame, int wantedWidth,
                      int wantedHeight, int preferredX, int preferredY) {
    const Wide frameWidth = Wide{frame.left} + frame.right;
    const Wide frameHeight = Wide{frame.top} + frame.bottom;
    PixelRect window{preferredX, preferredY, wantedWidth, wantedHeight};

    // Too large for the room, frame and all: the largest size of the same shape that fits.
    const Wide roomWidth = std::max<Wide>(0, std::min<Wide>(room.width - frameWidth, room.width));
    const Wide roomHeight =
        std::max<Wide>(0, std::min<Wide>(room.height - frameHeight, room.height));
    if (wantedWidth > roomWidth || wantedHeight > roomHeight) {
        const PixelRect inside = fitShape(PixelRect{0, 0, narrow(roomWidth), narrow(roomHeight)},
                                          wantedWidth, wantedHeight);
        window.width = std::max(inside.width, kSmallestWindowWidth);
        window.height = std::max(inside.height, kSmallestWindowHeight);
    }

    // The least move that brings the frame whole into the room; none where it is already inside.
    // A room smaller than the smallest window keeps the frame's top left corner on it.
    const Wide lastX = Wide{room.x} + room.width - (window.width + frameWidth);
    const Wide lastY = Wide{room.y} + room.height - (window.height + frameHeight);
    window.x = narrow(std::max<Wide>(room.x, std::min<Wide>(preferredX, lastX)));
    window.y = narrow(std::max<Wide>(room.y, std::min<Wide>(preferredY, lastY)));
    return window;
}

std::optional<FrameExtents> frameFromExtents(const PropertyItems& extents,
                                             const PixelRect& screen) {
    if (extents.size() != kExtentItems) {
        return std::nullopt;
    }
    return plausibleFrame(item(extents[0]), item(extents[1]), item(extents[2]), item(extents[3]),
                          screen);
}

std::optional<FrameExtents> frameAround(const PixelRect& window, const PixelRect& frame,
                                        const PixelRect& screen) {
    return plausibleFrame(Wide{window.x} - frame.x,
                          Wide{frame.x} + frame.width - (Wide{window.x} + window.width),
                          Wide{window.y} - frame.y,
                          Wide{frame.y} + frame.height - (Wide{window.y} + window.height), screen);
}

std::optional<PixelRect> workAreaOf(const PropertyItems& areas, const PropertyItems& currentDesktop,
                                    const PixelRect& screen) {
    const Wide desktop = currentDesktop.empty() ? 0 : item(currentDesktop[0]);
    if (desktop >= static_cast<Wide>(areas.size() / kAreaItems)) {
        return std::nullopt;
    }
    const auto area = areas.begin() + desktop * static_cast<Wide>(kAreaItems);
    const Wide x = item(area[0]);
    const Wide y = item(area[1]);
    const Wide width = item(area[2]);
    const Wide height = item(area[3]);
    if (width == 0 || height == 0 || x < screen.x || y < screen.y ||
        x + width > Wide{screen.x} + screen.width || y + height > Wide{screen.y} + screen.height) {
        return std::nullopt;
    }
    return PixelRect{narrow(x), narrow(y), narrow(width), narrow(height)};
}

double desktopScale(const char* resources, const char* gdkScale) {
    if (gdkScale != nullptr && *gdkScale != '\0') {
        // strtol holds a number too long for a long at its end, where atoi's result is undefined.
        return sane(static_cast<double>(std::strtol(gdkScale, nullptr, 10)));
    }
    if (resources == nullptr) {
        return 1.0;
    }
    XrmInitialize();
    const XrmDatabase database = XrmGetStringDatabase(resources);
    if (database == nullptr) {
        return 1.0;
    }
    char* type = nullptr;
    XrmValue value{};
    double scale = 1.0;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr) {
        scale = sane(std::strtod(value.addr, nullptr) / kBaseDpi);
    }
    XrmDestroyDatabase(database);
    return scale;
}

int scaledLength(int length, double scale) {
    return static_cast<int>(std::lround(length * scale));
}
