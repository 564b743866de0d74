#pragma once
// The camera: pins the window to 1024 x 768 and looks straight at the board plane z = 0, so the
// window shows exactly x -50..50 and y 0..75 of it.

class View {
  public:
    static View* instance();

    // The reshape handler: snaps any other size back to 1024 x 768, and for that size sets the
    // viewport, the projection and the camera translation.
    void reshape(int w, int h);
    // Loads the camera translation on the model-view matrix; called at the start of a play frame.
    void applyTransform();
    void update(float dt);

    int width() const { return width_; }
    int height() const { return height_; }
    // Half the height of the visible board plane, in board units.
    double halfExtent() const;
    double offsetX() const { return offsetX_; }
    double offsetY() const { return offsetY_; }

    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

  private:
    View() = default;

    // The size is known before the first reshape so pointer conversion is always defined.
    int width_ = kWidth;
    int height_ = kHeight;
    double fieldOfView_ = 90.0;
    double offsetX_ = 0.0;
    double offsetY_ = -37.5;
    double offsetZ_ = -37.5;
};
