#include "Play.h"

#include "board/Board.h"
#include "board/BoardPlane.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The bars are cleared to black; the picture's edges are a lighter slate.
constexpr int kBarBlack = 8;
// Of every sixteenth pixel: the gems of the smallest screen, the title's seven, cover far more.
constexpr int kColouredSamplesOfAFrame = 200;

} // namespace

WindowPoint windowPointOf(double x, double y) {
    return WindowPoint{static_cast<int>(std::lround(BoardPlane::pictureX(x))),
                       static_cast<int>(std::lround(BoardPlane::pictureY(y)))};
}

WindowPoint cellPixel(int cell) {
    const Board::Point centre = Board::cellCentre(cell);
    return windowPointOf(centre.x, centre.y);
}

PictureRect pictureRectOf(const Screenshot& shot) {
    int left = shot.width;
    int top = shot.height;
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const Screenshot::Pixel p = shot.at(x, y);
            if (std::max({p.r, p.g, p.b}) > kBarBlack) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) {
        return PictureRect{};
    }
    return PictureRect{left, top, right - left + 1, bottom - top + 1};
}

WindowPoint placeIn(const PictureRect& rect, WindowPoint point) {
    return WindowPoint{
        rect.left + static_cast<int>(std::lround(
                        (point.x + 0.5) * rect.width / BoardPlane::kPictureWidth - 0.5)),
        rect.top + static_cast<int>(std::lround(
                       (point.y + 0.5) * rect.height / BoardPlane::kPictureHeight - 0.5))};
}

int saturation(const Screenshot::Pixel& p) {
    return std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b});
}

int gemColourOf(const Screenshot::Pixel& p) {
    const int top = std::max({p.r, p.g, p.b});
    if (top < 60 || saturation(p) < top / 2) {
        return -1;
    }
    const bool r = p.r > top / 2;
    const bool g = p.g > top / 2;
    const bool b = p.b > top / 2;
    if (g && !r && !b) {
        return 0;
    }
    if (b && !r && !g) {
        return 1;
    }
    if (r && !g && !b) {
        return 2;
    }
    if (r && b && !g) {
        return 3;
    }
    if (r && g && !b) {
        return 4;
    }
    if (g && b && !r) {
        return 5;
    }
    return -1;
}

int darkPixels(const Screenshot& shot, int left, int top, int right, int bottom) {
    int dark = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const Screenshot::Pixel p = shot.at(x, y);
            dark += std::max({p.r, p.g, p.b}) < 50 ? 1 : 0;
        }
    }
    return dark;
}

namespace {

// The label's rectangle in the window, where "Final Score: " is drawn from board (-25, 40).
constexpr int kLabelLeft = 256;
constexpr int kLabelTop = 280;
constexpr int kLabelRight = 800;
constexpr int kLabelBottom = 370;

// Whether a window pixel lies in the tray between the gems, farther from every cell centre than
// any gem reaches. A faded gem's rim is as dark as text, so only text is dark there.
bool betweenGems(int x, int y) {
    const double bx = BoardPlane::planeX(x);
    const double by = BoardPlane::planeY(y);
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        const Board::Point centre = Board::cellCentre(cell);
        if (std::hypot(bx - centre.x, by - centre.y) < 2.9) {
            return false;
        }
    }
    return true;
}

} // namespace

bool showsFinalScore(const Screenshot& shot) {
    static const std::vector<std::pair<int, int>> gaps = [] {
        std::vector<std::pair<int, int>> points;
        for (int y = kLabelTop; y < kLabelBottom; ++y) {
            for (int x = kLabelLeft; x < kLabelRight; ++x) {
                if (betweenGems(x, y)) {
                    points.emplace_back(x, y);
                }
            }
        }
        return points;
    }();
    int dark = 0;
    for (const auto& [x, y] : gaps) {
        const Screenshot::Pixel p = shot.at(x, y);
        dark += std::max({p.r, p.g, p.b}) < 50 ? 1 : 0;
    }
    return dark > 1000;
}

Window waitForDrawnWindow(XDisplay& display, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const Window window = display.waitForWindow("Hexaglint", timeout);
    if (window == 0) {
        return 0;
    }
    // Until its first frame the window shows whatever lay under it; every screen of the game has
    // its coloured gems.
    const auto left = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
    };
    display.waitForPicture(
        window,
        [](const Screenshot& s) {
            int coloured = 0;
            for (int y = 0; y < s.height; y += 4) {
                for (int x = 0; x < s.width; x += 4) {
                    coloured += gemColourOf(s.at(x, y)) >= 0 ? 1 : 0;
                }
            }
            return coloured > kColouredSamplesOfAFrame;
        },
        left());
    display.waitUntilSettled(window, left());
    return window;
}

void enterPlay(XDisplay& display, Window window, Screenshot* play) {
    const WindowGeometry g = display.geometry(window);
    display.movePointer(window, g.width - 4, g.height - 4);
    ASSERT_TRUE(display.waitForFrames(window)) << "the title screen is not being drawn";
    const Screenshot title = display.capture(window);
    display.click(1);
    Screenshot instructions;
    ASSERT_TRUE(display.waitForPicture(
        window, [&](const Screenshot& s) { return s.rgb != title.rgb; }, 10s, &instructions))
        << "a press on the title did not show the instructions";
    display.click(1);
    ASSERT_TRUE(display.waitForPicture(
        window, [&](const Screenshot& s) { return s.rgb != instructions.rgb; }, 10s, play))
        << "a press on the instructions did not show the play screen";
}
