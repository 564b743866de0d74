#pragma once
// Sprites: a PNG image as a texture plus a display list that draws it as a unit square.

// A display-list id; -1 while the sprite has not been built.
using SpriteList = int;

// A corner of the unit square a sprite is drawn as: texture coordinates, then position.
struct QuadCorner {
    float s = 0.0f;
    float t = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
};
// The unit square's corners, counter-clockwise from the bottom left. The image's top row is stored
// at t = 0, so t = 0 goes on the upper edge to show it upright.
inline constexpr QuadCorner kUnitQuad[4] = {
    {0.0f, 1.0f, -0.5f, -0.5f},
    {1.0f, 1.0f, 0.5f, -0.5f},
    {1.0f, 0.0f, 0.5f, 0.5f},
    {0.0f, 0.0f, -0.5f, 0.5f},
};

// Builds the sprite's display list once. A texture slot below 0 is filled from the PNG at path
// (0 when the file cannot be read); a slot already holding a name is used as it is and no file is
// opened. A list that already exists is left alone. Needs a current GL context.
void loadSprite(SpriteList& list, int& texture, const char* path);

// loadSprite with a fresh texture from the picture made at scale (gfx/PictureScale.h), or from its
// 1x file at path when the file at that scale is missing or damaged: a window then shows the 1x
// picture magnified, as quietly as a missing picture is left out.
void loadScaledSprite(SpriteList& list, const char* path, int scale);
