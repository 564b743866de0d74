#pragma once
// Where the gem pictures lie, in the order of GemArt's slots: for each shape from Gem::kMinSides
// sides up its body, rim and white rim, then the sparkle. The game loads them from here and the
// art tool writes them here, so the two cannot disagree on a name. No GL: the art tool reads it.

#include "board/Gem.h"

constexpr int kGemPictureKinds = 3;
constexpr int kGemPictureCount = Gem::kShapeCount * kGemPictureKinds + 1;
constexpr const char* kGemPicturePaths[kGemPictureCount] = {
    "./images/HexJemFill.png",  "./images/HexJemOutline.png",  "./images/HexJemOutlineWhite.png",
    "./images/HeptJemFill.png", "./images/HeptJemOutline.png", "./images/HeptJemOutlineWhite.png",
    "./images/OctJemFill.png",  "./images/OctJemOutline.png",  "./images/OctJemOutlineWhite.png",
    "./images/NonaJemFill.png", "./images/NonaJemOutline.png", "./images/NonaJemOutlineWhite.png",
    "./images/DecJemFill.png",  "./images/DecJemOutline.png",  "./images/DecJemOutlineWhite.png",
    "./images/Highlight.png",
};
