#include "app/Mouse.h"

#include "app/Game.h"
#include "app/View.h"
#include "board/Board.h"
#include "board/Gem.h"
#include "board/ScreenState.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

Mouse* Mouse::instance() {
    static Mouse* mouse = new Mouse();
    return mouse;
}

void Mouse::track(double x, double y) {
    const View* view = View::instance();
    // Window pixels to picture pixels: a window manager may keep the window at another size, and
    // the picture is then scaled and centred in it. At 1024 x 768 this changes nothing.
    const PixelRect& picture = view->picture();
    x = (x - picture.x) * view->width() / picture.width;
    y = (y - picture.y) * view->height() / picture.height;
    // A drag that leaves the picture reports positions outside it.
    x = std::clamp(x, 0.0, static_cast<double>(view->width()));
    y = std::clamp(y, 0.0, static_cast<double>(view->height()));
    // Both axes are scaled by the half height, so a pixel is the same length either way.
    const int halfWidth = view->width() / 2;
    const int halfHeight = view->height() / 2;
    const float dx = static_cast<float>(x - halfWidth);
    const float dy = static_cast<float>(y - halfHeight);
    const double k = 1.0 / halfHeight;
    worldX_ = static_cast<float>(view->halfExtent() * (dx * k) - view->offsetX());
    worldY_ = static_cast<float>(view->halfExtent() * (-(dy * k)) - view->offsetY());
}

void Mouse::onButton(int button, int state, int /*x*/, int /*y*/) {
    // Wheel steps arrive as buttons 3 and up: they have no slot and do not move the screens on.
    if (button < 0 || button >= kButtonCount) {
        return;
    }
    buttons_[button] = static_cast<std::int16_t>(state);
    if (state == GLUT_DOWN) {
        // A press on a still screen only moves the flow on; it is not a click on the board.
        if (screenState == Title) {
            screenState = Instructions;
            return;
        }
        if (screenState == Instructions) {
            screenState = Playing;
            View::instance()->clear();
            return;
        }
    }
    const bool leftPressed = button == GLUT_LEFT_BUTTON && state == GLUT_DOWN;
    const bool rightPressed = button == GLUT_RIGHT_BUTTON && state == GLUT_DOWN;
    const bool pressed = state != GLUT_UP;
    clickAt(worldX_, worldY_, leftPressed, rightPressed, pressed);
}

void Mouse::onDrag(int x, int y) {
    track(x, y);
    const bool leftHeld = buttons_[GLUT_LEFT_BUTTON] == GLUT_DOWN;
    const bool rightHeld = !leftHeld && buttons_[GLUT_RIGHT_BUTTON] == GLUT_DOWN;
    hoverAt(worldX_, worldY_, leftHeld, rightHeld);
}

void Mouse::onMove(int x, int y) {
    track(x, y);
    hoverAt(worldX_, worldY_, false, false);
}

void hoverAt(float px, float py, bool leftHeld, bool /*rightHeld*/) {
    // Dragging with the left button does not spin gems up.
    if (leftHeld || theBoard == nullptr) {
        return;
    }
    const int cell = Board::pickCell(px, py);
    if (cell < 0) {
        return;
    }
    Gem* gem = theBoard->cells[cell];
    if (gem->dead) {
        return;
    }
    // Per motion event, not per second: the more the pointer moves over a gem, the faster it spins.
    gem->setSpin(static_cast<float>(gem->spin() + 0.03));
}

void clickAt(float px, float py, bool leftPressed, bool /*rightPressed*/, bool pressed) {
    if (!leftPressed || !pressed) {
        return;
    }
    if (screenState == GameOver) {
        if (Game::instance()->acceptsQuit(glutGet(GLUT_ELAPSED_TIME))) {
            std::exit(0);
        }
        return;
    }
    if (screenState != Playing || theBoard == nullptr) {
        return;
    }
    const int cell = Board::pickCell(px, py);
    if (cell < 0 || theBoard->cells[cell]->dead) {
        return;
    }
    if (theBoard->selected == -1) {
        theBoard->selected = cell;
        std::cout << "Set selection to " << cell << std::endl;
    } else {
        std::cout << "Swapping " << theBoard->selected << " and " << cell << std::endl;
        theBoard->swap(theBoard->selected, cell);
    }
    // After a swap this is the gem that came from the selected cell.
    Gem* gem = theBoard->cells[cell];
    if (!gem->charging) {
        gem->activate();
    }
}
