#pragma once
// Sprites: a PNG image as a texture plus a display list that draws it as a unit square.

// A display-list id; -1 while the sprite has not been built.
using SpriteList = int;

// Builds the sprite's display list once. A texture slot below 0 is filled from the PNG at path
// (0 when the file cannot be read); a slot already holding a name is used as it is and no file is
// opened. A list that already exists is left alone. Needs a current GL context.
void loadSprite(SpriteList& list, int& texture, const char* path);
