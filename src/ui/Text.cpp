#include "ui/Text.h"

#include "app/ScreenState.h"
#include "board/Score.h"
#include "gfx/GlScope.h"
#include "ui/Font.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>

const ScoreLine scoreLine;

namespace {

// 1 / 0.63 as the nearest float: the gap between baselines for a given pixel height.
constexpr float kLineSpacingFactor = 1.5873016f;

// The line's bytes that the font has glyphs for; anything else would call lists it does not own.
std::string drawableBytes(const std::string& line) {
    std::string codes;
    codes.reserve(line.size());
    for (const char c : line) {
        if (static_cast<unsigned char>(c) < Font::kGlyphCount) {
            codes.push_back(c);
        }
    }
    return codes;
}

} // namespace

std::vector<std::string> splitLines(const char* text) {
    std::vector<std::string> lines;
    const char* start = text;
    const char* p = text;
    for (; *p != '\0'; ++p) {
        if (*p == '\n') {
            lines.emplace_back(start, p);
            start = p + 1;
        }
    }
    lines.emplace_back(start, p);
    return lines;
}

float lineSpacing(const Font& font) {
    return font.height * kLineSpacingFactor;
}

void print(const Font& font, const char* format, ...) {
    char text[kTextBufferSize] = {};
    if (format != nullptr) {
        va_list values;
        va_start(values, format);
        // vsnprintf stops at the buffer's end and always terminates what it wrote.
        if (std::vsnprintf(text, sizeof text, format, values) < 0) {
            text[0] = '\0';
        }
        va_end(values);
    }
    drawText(font, text);
}

void drawText(const Font& font, const char* text) {
    const float spacing = lineSpacing(font);
    const std::vector<std::string> lines = splitLines(text);

    AttribScope saved(GL_LIST_BIT | GL_CURRENT_BIT | GL_ENABLE_BIT | GL_TRANSFORM_BIT);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glListBase(font.listBase);

    GLfloat origin[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, origin);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string codes = drawableBytes(lines[i]);
        MatrixScope line;
        // The line offset goes in before the caller's matrix, so it is measured in eye units.
        glLoadIdentity();
        glTranslatef(0.0f, -(static_cast<float>(i) * spacing), 0.0f);
        glMultMatrixf(origin);
        glCallLists(static_cast<GLsizei>(codes.size()), GL_UNSIGNED_BYTE, codes.data());
    }
}

float scoreOffsetX(int value) {
    if (value < 10) {
        return 20.0f;
    }
    if (value < 100) {
        return 15.0f;
    }
    return 10.0f;
}

void ScoreLine::draw() const {
    if (screenState != GameOver) {
        return;
    }
    const Font& font = *Font::instance();
    glMatrixMode(GL_MODELVIEW);
    glColor4f(0.1f, 0.1f, 0.1f, 1.0f);
    MatrixScope placed;
    glTranslatef(-25.0f, 40.0f, 0.0f);
    {
        MatrixScope label;
        glScalef(0.1f, 0.1f, 0.0f);
        print(font, "Final Score: ");
    }
    glTranslatef(scoreOffsetX(score), -15.0f, 0.0f);
    {
        MatrixScope number;
        glScalef(0.15f, 0.15f, 0.0f);
        print(font, "%i", score);
    }
}
