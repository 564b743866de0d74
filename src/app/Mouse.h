#pragma once
// The only input: pointer motion and the three buttons, turned into screen changes, hovering,
// selection and swaps.

#include <cstdint>

class Mouse {
  public:
    static Mouse* instance();

    // From the toolkit's mouse callback. Buttons other than left, middle and right (a wheel's
    // steps) are ignored altogether.
    void onButton(int button, int state, int x, int y);
    // Pointer moved with a button held.
    void onDrag(int x, int y);
    // Pointer moved with no button held.
    void onMove(int x, int y);
    // Converts a window position (pixels, origin top left) into the board plane.
    void track(double x, double y);

    float worldX() const { return worldX_; }
    float worldY() const { return worldY_; }
    std::int16_t button(int index) const { return buttons_[index]; }

    static constexpr int kButtonCount = 3;

  private:
    Mouse() = default;

    // Where the pointer was at the last motion event; button events use this, not their own x, y.
    float worldX_ = 0.0f;
    float worldY_ = 0.0f;
    // Last reported state of the left, middle and right buttons: GLUT_DOWN 0 or GLUT_UP 1.
    std::int16_t buttons_[kButtonCount] = {1, 1, 1};
};

// Hovering at a board-plane point spins up the living gem there, unless the left button is held.
void hoverAt(float px, float py, bool leftHeld, bool rightHeld);
// A press at a board-plane point: selects or swaps on the play screen, quits on the game-over one.
void clickAt(float px, float py, bool leftPressed, bool rightPressed, bool pressed);
