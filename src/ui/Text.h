#pragma once
// Text drawn with the Font's glyph lists at the current model-view transform, and the one line of
// text the game shows: the final score.

#include <string>
#include <vector>

class Font;

// Text formatted into this many bytes, terminator included; longer output is cut.
constexpr int kTextBufferSize = 256;

// The text cut at every newline, the newlines dropped. The piece after the last newline is always a
// line, so empty text is one empty line and a trailing newline adds an empty line.
std::vector<std::string> splitLines(const char* text);

// The distance between two lines' baselines, in eye units of glyph pixels.
float lineSpacing(const Font& font);

// printf-style: formats into a kTextBufferSize buffer and draws the result. A null format draws
// nothing (but still saves and restores the text state).
void print(const Font& font, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Draws finished text, one line per newline-separated piece, each line lineSpacing further down in
// eye coordinates, so a scale in the current matrix shrinks the glyphs but not the line distance.
// Bytes outside the font's 128 codes draw nothing. Leaves the blend function at source alpha and
// the last glyph's texture bound; the rest of the GL state is restored.
void drawText(const Font& font, const char* text);

// How far right of the label's start the number begins, by its number of digits, so that scores of
// one, two and three digits sit roughly centred under the label.
float scoreOffsetX(int value);

// "Final Score: " over the score, in dark grey, on the game-over screen; draws nothing on any other
// screen. Keeps no state.
class ScoreLine {
  public:
    static constexpr const char* kLabel = "Final Score: ";
    // Every character the line can print: the label's and the digits of a score, never negative.
    static std::string characters();

    void draw() const;
};

// The one score line, drawn by the controller's play-screen frames.
extern const ScoreLine scoreLine;
