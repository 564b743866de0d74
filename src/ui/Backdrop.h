#pragma once
// The three full-window images: the title, the instructions and the play-screen background, each
// stretched over one fixed rectangle of the board plane.

#include "gfx/PictureScale.h"
#include "gfx/Sprite.h"
#include "ui/BackdropPictures.h"

class Backdrop {
  public:
    static Backdrop* instance();

    // The files of the three pictures, in the order load reads them: the background, the title
    // and the instructions.
    static constexpr int kPictureCount = kBackdropPictureCount;
    static const char* path(int picture) { return kBackdropPicturePaths[picture]; }

    // Builds the three sprites from the pictures made at pictureScale (gfx/PictureScale.h), each
    // from its 1x file where its file at that scale cannot be read; a second call changes nothing.
    void load(int pictureScale = kNormalPictures);
    // The rectangle, top first; the game passes the board plane's (board/BoardPlane.h).
    void setBounds(double top, double right, double bottom, double left);
    void update(float dt);

    // Blended and alpha-tested, so transparent texels would leave the previous frame showing.
    void drawBackground(float dt);
    // Opaque: blending and the alpha test stay as they are.
    void drawTitle();
    void drawInstructions();

    double left() const { return left_; }
    double right() const { return right_; }
    double bottom() const { return bottom_; }
    double top() const { return top_; }
    SpriteList backgroundList() const { return backgroundList_; }
    SpriteList titleList() const { return titleList_; }
    SpriteList instructionsList() const { return instructionsList_; }

  private:
    Backdrop() = default;
    // Places the unit sprite over the rectangle and draws it.
    void drawStretched(SpriteList list) const;
    void drawOpaque(SpriteList list) const;

    double left_ = 0.0;
    double right_ = 0.0;
    double bottom_ = 0.0;
    double top_ = 0.0;
    SpriteList backgroundList_ = -1;
    SpriteList titleList_ = -1;
    SpriteList instructionsList_ = -1;
};
