#pragma once
// Reading back GL state in tests.

#include <GL/gl.h>

#include <array>

int modelViewDepth();
std::array<float, 4> currentColour();
std::array<float, 16> modelViewMatrix();
bool isEnabled(GLenum capability);
// The pixel at window position (x, y), y counted from the top as the window shows it.
std::array<unsigned char, 3> readPixel(int x, int y);
