#pragma once
// The camera: pins the window to its one size and looks straight at the board plane z = 0, so the
// picture shows exactly x -50..50 and y 0..75 of it. The picture is laid out for 1024 x 768; a
// window of another size (scaled with the desktop, shrunk to fit a small screen, or imposed by a
// window manager) shows it scaled to fit, centred, its shape kept, with black bars beside it.

#include "board/BoardPlane.h"
#include "desktop/WindowPlacement.h"

class View {
  public:
    static View* instance();

    // How many times the picture's size a window of this size shows it at: the scale of the
    // largest 4:3 rectangle it holds.
    static double scaleOf(int windowWidth, int windowHeight);

    // The size the window is kept at: the picture's own on most screens. Set before the window is
    // first shown, and again whenever the desktop's room for it changes; the window takes it at
    // its next reshape, and until then the picture is fitted to the size the window has.
    void setWindowSize(int width, int height);
    int windowWidth() const { return windowWidth_; }
    int windowHeight() const { return windowHeight_; }

    // The reshape handler: asks for the window's size whenever the window has another, and sets
    // the viewport, the projection and the camera translation for the picture's place in it.
    void reshape(int w, int h);
    // Loads the camera translation on the model-view matrix; called at the start of a play frame.
    void applyTransform();
    void update(float dt);
    // Clears the colour and depth buffers: the picture to the clear colour, the bars beside it
    // black, so they sit quietly beside the dark art.
    void clear() const;
    // A play frame draws only inside the picture, so while the picture does not fill the window
    // the bars beside it are cleared every frame instead of keeping whatever the buffer held.
    void clearBars() const;

    // The picture's own size, which the board plane is laid out for; always 1024 x 768.
    int width() const { return width_; }
    int height() const { return height_; }
    // The picture's place in the window, in window pixels from its top left: the whole window
    // when it has the picture's shape.
    const PixelRect& picture() const { return picture_; }
    bool fillsWindow() const { return fillsWindow_; }
    // Half the height of the visible board plane, in board units.
    double halfExtent() const;
    double offsetX() const { return offsetX_; }
    double offsetY() const { return offsetY_; }

    static constexpr int kWidth = BoardPlane::kPictureWidth;
    static constexpr int kHeight = BoardPlane::kPictureHeight;

  private:
    View() = default;
    void setCamera();

    // The size is known before the first reshape so pointer conversion is always defined.
    int width_ = kWidth;
    int height_ = kHeight;
    int windowWidth_ = kWidth;
    int windowHeight_ = kHeight;
    PixelRect picture_{0, 0, kWidth, kHeight};
    // The picture's place as GL counts it, rows from the bottom of the window.
    PixelRect viewport_{0, 0, kWidth, kHeight};
    bool fillsWindow_ = true;
    double fieldOfView_ = 90.0;
    // Centred on the plane's rectangle, and as far from it as its half height: a 90 degree field
    // of view then shows the rectangle's whole height.
    double offsetX_ = -(BoardPlane::kLeft + BoardPlane::kRight) / 2;
    double offsetY_ = -(BoardPlane::kBottom + BoardPlane::kTop) / 2;
    double offsetZ_ = -(BoardPlane::kTop - BoardPlane::kBottom) / 2;
};
