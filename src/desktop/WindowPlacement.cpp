#include "desktop/WindowPlacement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Desktops count their scale against the X default of 96 dots an inch.
constexpr double kBaseDpi = 96.0;
// Below this a scale would blur the picture for a difference no player would see.
constexpr double kLeastScale = 1.25;
// No desktop scales by more; a resource that says otherwise is a typo, not a wish.
constexpr double kMostScale = 8.0;
// However cramped the room, the window keeps a size at which the gems can still be told apart.
constexpr int kSmallestWidth = 320;
constexpr int kSmallestHeight = 240;

double sane(double scale) {
    return scale >= kLeastScale && scale <= kMostScale ? scale : 1.0;
}

} // namespace

ScreenRect placeWindow(const ScreenRect& room, const FrameExtents& frame, int wantedWidth,
                       int wantedHeight, int preferredX, int preferredY) {
    const int frameWidth = frame.left + frame.right;
    const int frameHeight = frame.top + frame.bottom;
    ScreenRect window{preferredX, preferredY, wantedWidth, wantedHeight};

    // Too large for the room, frame and all: the largest size of the same shape that fits.
    const int roomWidth = room.width - frameWidth;
    const int roomHeight = room.height - frameHeight;
    if (wantedWidth > roomWidth || wantedHeight > roomHeight) {
        if (static_cast<long>(roomWidth) * wantedHeight <=
            static_cast<long>(roomHeight) * wantedWidth) {
            window.width = roomWidth;
            window.height =
                static_cast<int>(static_cast<long>(roomWidth) * wantedHeight / wantedWidth);
        } else {
            window.height = roomHeight;
            window.width =
                static_cast<int>(static_cast<long>(roomHeight) * wantedWidth / wantedHeight);
        }
        window.width = std::max(window.width, kSmallestWidth);
        window.height = std::max(window.height, kSmallestHeight);
    }

    // The least move that brings the frame whole into the room; none where it is already inside.
    // A room smaller than the smallest window keeps the frame's top left corner on it.
    const int outerWidth = window.width + frameWidth;
    const int outerHeight = window.height + frameHeight;
    window.x = std::max(room.x, std::min(preferredX, room.x + room.width - outerWidth));
    window.y = std::max(room.y, std::min(preferredY, room.y + room.height - outerHeight));
    return window;
}

double desktopScale(const char* resources, const char* gdkScale) {
    if (gdkScale != nullptr && *gdkScale != '\0') {
        return sane(std::atoi(gdkScale));
    }
    if (resources == nullptr) {
        return 1.0;
    }
    // The resources are lines of "name:\tvalue"; only the exact name counts, at a line's start.
    static constexpr char kDpiName[] = "Xft.dpi:";
    for (const char* line = resources; line != nullptr && *line != '\0';) {
        if (std::strncmp(line, kDpiName, sizeof kDpiName - 1) == 0) {
            return sane(std::strtod(line + sizeof kDpiName - 1, nullptr) / kBaseDpi);
        }
        line = std::strchr(line, '\n');
        if (line != nullptr) {
            ++line;
        }
    }
    return 1.0;
}

int scaledLength(int length, double scale) {
    return static_cast<int>(std::lround(length * scale));
}
