#include "support/GlState.h"

#include "app/View.h"

int modelViewDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

std::array<float, 4> currentColour() {
    std::array<float, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    return colour;
}

std::array<float, 16> modelViewMatrix() {
    std::array<float, 16> matrix{};
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix.data());
    return matrix;
}

bool isEnabled(GLenum capability) {
    return glIsEnabled(capability) == GL_TRUE;
}

std::array<unsigned char, 3> readPixel(int x, int y) {
    std::array<unsigned char, 3> rgb{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, View::kHeight - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}
