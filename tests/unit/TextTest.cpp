#include "ui/Text.h"

#include "app/View.h"
#include "board/Board.h"
#include "board/Score.h"
#include "board/ScreenState.h"
#include "support/GlContext.h"
#include "support/GlState.h"
#include "ui/Font.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

const char* const kFontFile = "./fonts/FORTE.TTF";

// What one glyph list call left in the feedback buffer: its code and the pen position in window
// pixels.
struct Mark {
    int code = 0;
    float x = 0.0f;
    float y = 0.0f;
};

// Stand-in glyph lists: list k reports k and the pen position through feedback, then moves the pen
// one glyph pixel right. Swapped into the Font for the test, so the text code can be watched
// without depending on a face's shapes. Lists follow the font's 128 as they do in the game (other
// art is built after the font), so a byte above 127 would reach one of them.
class MarkerLists {
  public:
    static constexpr int kCount = 256;

    MarkerLists() {
        base_ = glGenLists(kCount);
        for (int k = 0; k < kCount; ++k) {
            glNewList(base_ + static_cast<GLuint>(k), GL_COMPILE);
            glPassThrough(static_cast<GLfloat>(k));
            glBegin(GL_POINTS);
            glVertex2f(0.0f, 0.0f);
            glEnd();
            glTranslatef(1.0f, 0.0f, 0.0f);
            glEndList();
        }
        Font& font = *Font::instance();
        savedBase_ = font.listBase;
        savedHeight_ = font.height;
        font.listBase = base_;
        // A line spacing of 10 glyph pixels.
        font.height = 6.3f;
    }
    ~MarkerLists() {
        Font& font = *Font::instance();
        font.listBase = savedBase_;
        font.height = savedHeight_;
        glDeleteLists(base_, kCount);
    }
    MarkerLists(const MarkerLists&) = delete;
    MarkerLists& operator=(const MarkerLists&) = delete;

  private:
    GLuint base_ = 0;
    GLuint savedBase_ = 0;
    float savedHeight_ = 0.0f;
};

// Runs draw in feedback mode and returns the marks it left.
template <typename Draw> std::vector<Mark> marksOf(Draw draw) {
    std::vector<GLfloat> buffer(8192);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<Mark> marks;
    for (GLint at = 0; at < used;) {
        if (buffer[at] == GL_PASS_THROUGH_TOKEN) {
            marks.push_back({static_cast<int>(buffer[at + 1])});
            at += 2;
        } else if (buffer[at] == GL_POINT_TOKEN) {
            if (!marks.empty()) {
                marks.back().x = buffer[at + 1];
                marks.back().y = buffer[at + 2];
            }
            at += 4;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << buffer[at];
            break;
        }
    }
    return marks;
}

std::string codesOf(const std::vector<Mark>& marks) {
    std::string codes;
    for (const Mark& m : marks) {
        codes.push_back(static_cast<char>(m.code));
    }
    return codes;
}

// One window pixel per unit, with the text's origin at (100, 500) and glyphs drawn twice as large.
struct TextDraw : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(ensureGlContext());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1024, 0, 768, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(100.0f, 500.0f, 0.0f);
        glScalef(2.0f, 2.0f, 1.0f);
    }
    void TearDown() override { View::instance()->reshape(View::kWidth, View::kHeight); }

    std::vector<Mark> drawn(const char* text) {
        return marksOf([&] { drawText(*Font::instance(), text); });
    }
};

// The game's font, built once for the tests that look at real glyphs.
void ensureFont() {
    static const bool built = [] {
        Font::instance()->init(kFontFile, 72);
        return true;
    }();
    (void)built;
}

// The score line's marks and pixels are checked through the play screen's camera.
struct ScoreLineTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(ensureGlContext());
        View::instance()->reshape(View::kWidth, View::kHeight);
        View::instance()->applyTransform();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    void TearDown() override {
        screenState = Title;
        score = 0;
    }

    // Where a point of the board plane lands in the window, in feedback coordinates.
    static std::array<float, 2> project(double x, double y) {
        std::array<GLdouble, 16> model{}, projection{};
        std::array<GLint, 4> viewport{};
        glGetDoublev(GL_MODELVIEW_MATRIX, model.data());
        glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        GLdouble wx = 0, wy = 0, wz = 0;
        gluProject(x, y, 0.0, model.data(), projection.data(), viewport.data(), &wx, &wy, &wz);
        return {static_cast<float>(wx), static_cast<float>(wy)};
    }
};

struct Frame {
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int yFromTop) const {
        return &rgb[3 * ((View::kHeight - 1 - yFromTop) * View::kWidth + x)];
    }
    // Dark grey pixels (what the score line's colour gives on white) in a window rectangle.
    int darkGrey(int x0, int y0, int x1, int y1) const {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const unsigned char* p = at(x, y);
                count += p[0] < 60 && std::abs(p[0] - p[1]) < 4 && std::abs(p[1] - p[2]) < 4;
            }
        }
        return count;
    }
    int notWhite(int x0, int y0, int x1, int y1) const {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const unsigned char* p = at(x, y);
                count += p[0] < 250 || p[1] < 250 || p[2] < 250;
            }
        }
        return count;
    }
};

Frame scoreLineOnWhite() {
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    View::instance()->applyTransform();
    scoreLine.draw();
    glFinish();
    Frame frame;
    frame.rgb.resize(3 * View::kWidth * View::kHeight);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, View::kWidth, View::kHeight, GL_RGB, GL_UNSIGNED_BYTE, frame.rgb.data());
    return frame;
}

} // namespace

TEST(TextLines, SplitAtEveryNewlineKeepingTheLastPiece) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(splitLines(""), Lines{""});
    EXPECT_EQ(splitLines("Final Score: "), Lines{"Final Score: "});
    EXPECT_EQ(splitLines("abc\n"), (Lines{"abc", ""}));
    EXPECT_EQ(splitLines("\n\nx"), (Lines{"", "", "x"}));
    EXPECT_EQ(splitLines("one\ntwo\n\nfour"), (Lines{"one", "two", "", "four"}));
}

TEST_F(TextDraw, CharactersFollowThePenOnTheFirstLine) {
    MarkerLists markers;
    const auto marks = drawn("ab");
    ASSERT_EQ(codesOf(marks), "ab");
    EXPECT_FLOAT_EQ(marks[0].x, 100.0f);
    EXPECT_FLOAT_EQ(marks[0].y, 500.0f);
    EXPECT_FLOAT_EQ(marks[1].x, 102.0f); // one glyph pixel at scale 2
    EXPECT_FLOAT_EQ(marks[1].y, 500.0f);
}

TEST_F(TextDraw, LinesStepDownInEyeUnitsUnscaledByTheTextMatrix) {
    MarkerLists markers;
    const auto marks = drawn("\n\nx");
    ASSERT_EQ(codesOf(marks), "x");
    EXPECT_FLOAT_EQ(marks[0].x, 100.0f);
    EXPECT_NEAR(marks[0].y, 480.0f, 1e-3); // two spacings of 10, not of 20

    const auto two = drawn("ab\ncd");
    ASSERT_EQ(codesOf(two), "abcd");
    EXPECT_FLOAT_EQ(two[2].x, 100.0f); // each line starts at the origin
    EXPECT_NEAR(two[2].y, 490.0f, 1e-3);
}

TEST_F(TextDraw, OnlyALinesOwnCharactersReachTheLists) {
    MarkerLists markers;
    EXPECT_EQ(codesOf(drawn("")), "");
    EXPECT_EQ(codesOf(drawn("abc\n")), "abc"); // no newline, no terminator
    EXPECT_EQ(codesOf(drawn("\t~\x7f")), "\t~\x7f");
}

TEST_F(TextDraw, BytesBeyondTheFontDrawNothingAndTakeNoRoom) {
    MarkerLists markers;
    const auto marks = drawn("a\xc3\xa9\x80\xff"
                             "b");
    ASSERT_EQ(codesOf(marks), "ab");
    EXPECT_FLOAT_EQ(marks[1].x, 102.0f);
}

TEST_F(TextDraw, PrintFormatsOnceAndCutsAtTheBuffer) {
    MarkerLists markers;
    const Font& font = *Font::instance();
    EXPECT_EQ(codesOf(marksOf([&] { print(font, "%i", 42); })), "42");
    EXPECT_EQ(codesOf(marksOf([&] { print(font, "%i", -7); })), "-7");
    EXPECT_EQ(codesOf(marksOf([&] { print(font, "%s", "100%i"); })), "100%i");
    EXPECT_EQ(codesOf(marksOf([&] { print(font, nullptr); })), "");

    const std::string longText(300, 'x');
    const auto marks = marksOf([&] { print(font, "%s", longText.c_str()); });
    EXPECT_EQ(codesOf(marks), std::string(kTextBufferSize - 1, 'x'));
}

TEST_F(TextDraw, RestoresTheStateItSavesAndLeavesBlendingAndTheLastGlyphBound) {
    ensureFont();
    const Font& font = *Font::instance();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glListBase(7);
    glColor4f(0.2f, 0.4f, 0.6f, 0.8f);
    const int depth = modelViewDepth();
    const auto matrix = modelViewMatrix();

    for (const char* text : {"", "ab\nc"}) {
        drawText(font, text);
        EXPECT_EQ(modelViewDepth(), depth);
        EXPECT_EQ(modelViewMatrix(), matrix);
        EXPECT_TRUE(isEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(isEnabled(GL_LIGHTING));
        EXPECT_FALSE(isEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(isEnabled(GL_BLEND));
        EXPECT_EQ(currentColour(), (std::array<float, 4>{0.2f, 0.4f, 0.6f, 0.8f}));
        GLint listBase = 0, matrixMode = 0, source = 0, destination = 0;
        glGetIntegerv(GL_LIST_BASE, &listBase);
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
        glGetIntegerv(GL_BLEND_SRC, &source);
        glGetIntegerv(GL_BLEND_DST, &destination);
        EXPECT_EQ(listBase, 7);
        EXPECT_EQ(matrixMode, GL_MODELVIEW);
        EXPECT_EQ(source, GL_SRC_ALPHA);
        EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
    }
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), font.textures['c']);
    glDisable(GL_LIGHTING);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

TEST_F(ScoreLineTest, OutsideGameOverItDrawsNothingAndChangesNoState) {
    MarkerLists markers;
    glMatrixMode(GL_PROJECTION);
    glColor4f(0.5f, 0.6f, 0.7f, 1.0f);
    score = 42;
    for (const ScreenState state : {Title, Instructions, Playing}) {
        screenState = state;
        EXPECT_TRUE(marksOf([] { scoreLine.draw(); }).empty()) << state;
        GLint matrixMode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
        EXPECT_EQ(matrixMode, GL_PROJECTION);
        EXPECT_EQ(currentColour(), (std::array<float, 4>{0.5f, 0.6f, 0.7f, 1.0f}));
    }
    glMatrixMode(GL_MODELVIEW);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

TEST_F(ScoreLineTest, LabelAndNumberSitWhereTheBoardPlaneSaysAtTheirScales) {
    MarkerLists markers;
    screenState = GameOver;
    const int depth = modelViewDepth();
    const auto matrix = modelViewMatrix();
    // The number starts further left the more digits it has.
    const std::vector<std::pair<int, double>> cases = {{0, -5.0},   {9, -5.0},    {10, -10.0},
                                                       {99, -10.0}, {100, -15.0}, {127, -15.0}};
    for (const auto& [value, numberX] : cases) {
        score = value;
        const auto marks = marksOf([] { scoreLine.draw(); });
        const std::string number = std::to_string(value);
        ASSERT_EQ(codesOf(marks), "Final Score: " + number);

        const auto label = project(-25.0, 40.0);
        const auto labelNext = project(-24.9, 40.0); // 0.1 unit per glyph pixel
        EXPECT_NEAR(marks[0].x, label[0], 0.01);
        EXPECT_NEAR(marks[0].y, label[1], 0.01);
        EXPECT_NEAR(marks[1].x, labelNext[0], 0.01);
        const auto digit = project(numberX, 25.0);
        const auto digitNext = project(numberX + 0.15, 25.0); // 0.15 unit per glyph pixel
        EXPECT_NEAR(marks[13].x, digit[0], 0.01) << value;
        EXPECT_NEAR(marks[13].y, digit[1], 0.01) << value;
        if (number.size() > 1) {
            EXPECT_NEAR(marks[14].x, digitNext[0], 0.01) << value;
        }

        EXPECT_EQ(modelViewDepth(), depth);
        EXPECT_EQ(modelViewMatrix(), matrix);
        EXPECT_EQ(currentColour(), (std::array<float, 4>{0.1f, 0.1f, 0.1f, 1.0f}));
    }
}

TEST_F(ScoreLineTest, GameOverShowsDarkGreyLabelAndScoreOverTheBoardAndNothingElse) {
    ensureFont();
    score = 42;
    screenState = Playing;
    const Frame playing = scoreLineOnWhite();
    EXPECT_EQ(playing.notWhite(0, 0, View::kWidth, View::kHeight), 0);

    screenState = GameOver;
    const Frame over = scoreLineOnWhite();
    // The label's baseline is at board (-25, 40): window (256, 358); its capitals stand about
    // 7 units (72 pixels) above it. The number's baseline is at (-10, 25): window (410, 512).
    EXPECT_GT(over.darkGrey(256, 286, 800, 380), 8000);
    EXPECT_GT(over.darkGrey(405, 400, 620, 540), 3000);
    // Left of the label, between the two lines, and below the number there is only white.
    EXPECT_EQ(over.notWhite(0, 0, 250, View::kHeight), 0);
    EXPECT_EQ(over.notWhite(250, 0, View::kWidth, 270), 0);
    EXPECT_EQ(over.notWhite(250, 560, View::kWidth, View::kHeight), 0);
    EXPECT_EQ(currentColour(), (std::array<float, 4>{0.1f, 0.1f, 0.1f, 1.0f}));
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

TEST(ScoreLine, TheFaceIsCheckedForEveryCharacterOfEveryFinalScore) {
    const std::string characters = ScoreLine::characters();
    for (int score = 0; score <= Board::kCellCount; ++score) {
        for (const char c : std::to_string(score)) {
            EXPECT_NE(characters.find(c), std::string::npos) << "the score " << score;
        }
    }
}
