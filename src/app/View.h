#pragma once
// The camera: pins the window to 1024 x 768 and looks straight at the board plane z = 0, so the
// picture shows exactly x -50..50 and y 0..75 of it. When a window manager keeps the window at
// another size, the picture is scaled to fit it, centred, with its shape kept.

#include "board/BoardPlane.h"

class View {
  public:
    // Where the picture lies in the window: window pixels, origin at the top left.
    struct Rect {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    static View* instance();

    // The reshape handler: asks for 1024 x 768 whenever the window has another size, and sets the
    // viewport, the projection and the camera translation for the picture's place in the window.
    void reshape(int w, int h);
    // Loads the camera translation on the model-view matrix; called at the start of a play frame.
    void applyTransform();
    void update(float dt);
    // A play frame draws only inside the picture, so while the picture does not fill the window
    // the bars beside it are cleared every frame instead of keeping whatever the buffer held.
    void clearBars() const;

    // The picture's own size, which the board plane is laid out for; always 1024 x 768.
    int width() const { return width_; }
    int height() const { return height_; }
    // The picture's place in the window: the whole window at 1024 x 768.
    const Rect& picture() const { return picture_; }
    bool fillsWindow() const { return fillsWindow_; }
    // Half the height of the visible board plane, in board units.
    double halfExtent() const;
    double offsetX() const { return offsetX_; }
    double offsetY() const { return offsetY_; }

    static constexpr int kWidth = BoardPlane::kPictureWidth;
    static constexpr int kHeight = BoardPlane::kPictureHeight;

  private:
    View() = default;
    // The largest 4:3 rectangle centred in a window of this size.
    static Rect fit(int windowWidth, int windowHeight);
    void setCamera(int windowHeight);

    // The size is known before the first reshape so pointer conversion is always defined.
    int width_ = kWidth;
    int height_ = kHeight;
    Rect picture_{0, 0, kWidth, kHeight};
    bool fillsWindow_ = true;
    double fieldOfView_ = 90.0;
    // Centred on the plane's rectangle, and as far from it as its half height: a 90 degree field
    // of view then shows the rectangle's whole height.
    double offsetX_ = -(BoardPlane::kLeft + BoardPlane::kRight) / 2;
    double offsetY_ = -(BoardPlane::kBottom + BoardPlane::kTop) / 2;
    double offsetZ_ = -(BoardPlane::kTop - BoardPlane::kBottom) / 2;
};
