#pragma once
// The part of the board plane that the game's picture shows, and the picture's size in pixels.
// The camera frames exactly this rectangle, the backdrops are stretched over it, the art tools
// paint the backdrops for it, and the tests and benchmarks find a cell's pixel through it.
struct BoardPlane {
    static constexpr double kLeft = -50.0;
    static constexpr double kRight = 50.0;
    static constexpr double kBottom = 0.0;
    static constexpr double kTop = 75.0;

    // The picture the plane is laid out for, whatever size the window has.
    static constexpr int kPictureWidth = 1024;
    static constexpr int kPictureHeight = 768;
    static constexpr double kPixelsPerUnit = kPictureWidth / (kRight - kLeft);

    // A board-plane point's place in the picture, in pixels from its top left corner, and back.
    static constexpr double pictureX(double x) { return (x - kLeft) * kPixelsPerUnit; }
    static constexpr double pictureY(double y) { return (kTop - y) * kPixelsPerUnit; }
    static constexpr double planeX(double pictureX) { return pictureX / kPixelsPerUnit + kLeft; }
    static constexpr double planeY(double pictureY) { return kTop - pictureY / kPixelsPerUnit; }
};

// A board unit is as many pixels down as across, so a gem's square stays square.
static_assert(BoardPlane::kPictureHeight ==
                  (BoardPlane::kTop - BoardPlane::kBottom) * BoardPlane::kPixelsPerUnit,
              "the picture's shape is the plane's");
