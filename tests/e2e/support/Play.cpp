#include "Play.h"

#include "board/Board.h"

#include <algorithm>
#include <cmath>

using namespace std::chrono_literals;

WindowPoint windowPointOf(double x, double y) {
    constexpr double kPixelsPerUnit = 1024.0 / 100.0;
    return WindowPoint{static_cast<int>(std::lround((x + 50.0) * kPixelsPerUnit)),
                       static_cast<int>(std::lround((75.0 - y) * kPixelsPerUnit))};
}

WindowPoint cellPixel(int cell) {
    const Board::Point centre = Board::cellCentre(cell);
    return windowPointOf(centre.x, centre.y);
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

bool showsFinalScore(const Screenshot& shot) {
    // The label starts at board (-25, 40) in a dark grey that nothing else on the board comes near.
    int dark = 0;
    for (int y = 280; y < 370; ++y) {
        for (int x = 256; x < 800; ++x) {
            const Screenshot::Pixel p = shot.at(x, y);
            dark += std::max({p.r, p.g, p.b}) < 50 ? 1 : 0;
        }
    }
    return dark > 2000;
}

Screenshot enterPlay(XDisplay& display, Window window) {
    display.movePointer(window, 1020, 764);
    pause(300ms);
    const Screenshot title = display.capture(window);
    display.click(1);
    Screenshot instructions;
    display.waitForPicture(
        window, [&](const Screenshot& s) { return s.rgb != title.rgb; }, 10s, &instructions);
    display.click(1);
    Screenshot play;
    display.waitForPicture(
        window, [&](const Screenshot& s) { return s.rgb != instructions.rgb; }, 10s, &play);
    return play;
}
