#include "ui/Text.h"

#include "board/Score.h"
#include "board/ScreenState.h"
#include "gfx/GlScope.h"
#include "ui/Font.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>

const ScoreLine scoreLine;

namespace {

// 1 / 0.63 as the nearest float: the gap between baselines for a given pixel height.
constexpr float kLineSpacingFactor = 1.5873016f;

// The score line over the board, in board units (the scales in units per glyph pixel): the
// label starts left of the window's middle and just above it, and the number sits one line
// below, larger, shifted right by its digit count so it looks centred under the label.
constexpr float kScoreGrey = 0.1f;
constexpr float kLabelX = -25.0f;
constexpr float kLabelY = 40.0f;
constexpr float kLabelScale = 0.1f;
constexpr float kNumberDrop = 15.0f;
constexpr float kNumberScale = 0.15f;
// The number's offset from the label's start for one, two and three digits.
constexpr float kOneDigitOffset = 20.0f;
constexpr float kTwoDigitOffset = 15.0f;
constexpr float kThreeDigitOffset = 10.0f;

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
        return kOneDigitOffset;
    }
    if (value < 100) {
        return kTwoDigitOffset;
    }
    return kThreeDigitOffset;
}

std::string ScoreLine::characters() {
    return std::string(kLabel) + "0123456789";
}

void ScoreLine::draw() const {
    if (screenState != GameOver) {
        return;
    }
    const Font& font = *Font::instance();
    glMatrixMode(GL_MODELVIEW);
    glColor4f(kScoreGrey, kScoreGrey, kScoreGrey, 1.0f);
    MatrixScope placed;
    glTranslatef(kLabelX, kLabelY, 0.0f);
    {
        MatrixScope label;
        glScalef(kLabelScale, kLabelScale, 0.0f);
        print(font, "%s", kLabel);
    }
    glTranslatef(scoreOffsetX(score), -kNumberDrop, 0.0f);
    {
        MatrixScope number;
        glScalef(kNumberScale, kNumberScale, 0.0f);
        print(font, "%i", score);
    }
}
