#pragma once
// The only input: pointer motion and the three buttons, turned into screen changes, hovering,
// selection and swaps.

#include <cstdint>

class Mouse {
  public:
    static Mouse* instance();

    void onButton(int button, int state, int x, int y);
    void onDrag(int x, int y);
    void onMove(int x, int y);

    std::int16_t button(int index) const { return buttons_[index]; }

    static constexpr int kButtonCount = 3;

  private:
    Mouse() = default;

    float worldX_ = 0.0f;
    float worldY_ = 0.0f;
    // Last reported state of the left, middle and right buttons: GLUT_DOWN 0 or GLUT_UP 1.
    std::int16_t buttons_[kButtonCount] = {1, 1, 1};
};
