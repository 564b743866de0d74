#pragma once
// A software stand-in for the game's board drawing, to judge the art without running the game.

#include "art/Canvas.h"

#include <string>

// Reads the images from imagesDir and draws a board the way the game does (bilinear sampling
// without mipmaps, colour tint by modulation, alpha blending): full, half-faded and grey gems,
// dead ones with white rims, a few enlarged and a few sparkles. Returns false if an image is
// missing.
bool writeBoardPreview(const std::string& imagesDir, const std::string& outPath);
