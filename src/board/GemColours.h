#pragma once
// The colours a gem can have, as red, green and blue, indexed by Gem::colour(), and the grey a
// fading gem tends to. The rules only tell colours apart; the game tints its gem pictures with
// these, and the art tools paint the gems on the title and instructions in the same ones.

#include "board/Gem.h"

inline constexpr float gemColours[Gem::kColourCount][3] = {
    {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f},
    {1.0f, 0.0f, 1.0f}, {1.0f, 1.0f, 0.0f}, {0.0f, 1.0f, 1.0f},
};
// The grey of a gem with no life left.
constexpr float kFadeGrey = 0.4f;
