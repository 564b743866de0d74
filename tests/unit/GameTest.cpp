#include "app/Game.h"

#include "app/View.h"
#include "board/Board.h"
#include "board/ScreenState.h"
#include "gfx/GlScope.h"
#include "gfx/PictureScale.h"
#include "support/GlContext.h"
#include "support/GlState.h"
#include "support/KeptBoard.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <thread>

TEST(GameFrameTime, ClampsAtOneHundredTwentyMillisecondsAndClearsOnlyAboveIt) {
    struct Case {
        int previousMs, nowMs;
        double seconds;
        bool clamped;
    };
    for (const Case& c :
         {Case{1000, 1016, 0.016, false}, Case{5, 5, 0.0, false}, Case{0, 120, 0.12, false},
          Case{0, 121, 0.12, true}, Case{10, 2500, 0.12, true},
          // The counter is signed and may wrap; the difference is taken unsigned.
          Case{2147483640, -2147483640, 0.016, false},
          // A clock going backwards is a long stall.
          Case{500, 400, 0.12, true}}) {
        const FrameTiming timing = frameTimeBetween(c.previousMs, c.nowMs);
        EXPECT_NEAR(timing.seconds, c.seconds, 1e-12) << c.previousMs << " to " << c.nowMs;
        EXPECT_EQ(timing.clamped, c.clamped) << c.previousMs << " to " << c.nowMs;
    }
}

namespace {

// Game::render on the tests' window. The depth test stays off, so only a clear writes the depth
// buffer: marked with 0 before a frame, it reads 1 after it only when the frame cleared.
class GameRender : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(ensureGlContext());
        game = Game::instance();
        theBoard = &keptBoard(9);
        glDisable(GL_DEPTH_TEST);
        // Something the camera would not load, for a frame that forgot to restore the matrix.
        glTranslatef(1.0f, 2.0f, 3.0f);
        // A one-pixel viewport makes a frame cheap, so even a slow build gets short ones; a clear
        // still covers the whole buffer.
        glViewport(0, 0, 1, 1);
    }
    void TearDown() override {
        theBoard = nullptr;
        screenState = Title;
        View::instance()->reshape(View::kWidth, View::kHeight);
    }

    // One frame on a marked depth buffer: whether it cleared. Every frame leaves the model-view
    // matrix and its stack as it found them. stalled tells whether the game may have measured the
    // frame as a stall: more than kMaxFrameTime since the previous frame began.
    bool frameClears(ScreenState state, bool* stalled = nullptr) {
        screenState = state;
        glClearDepth(0.0);
        glClear(GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
        const int depth = modelViewDepth();
        const auto matrix = modelViewMatrix();
        const int startMs = glutGet(GLUT_ELAPSED_TIME);
        game->render();
        if (stalled != nullptr) {
            *stalled = glutGet(GLUT_ELAPSED_TIME) - previousStartMs > 1000 * Game::kMaxFrameTime;
        }
        previousStartMs = startMs;
        EXPECT_EQ(modelViewDepth(), depth) << "screen " << state;
        EXPECT_EQ(modelViewMatrix(), matrix) << "screen " << state;
        float cleared = 0.0f;
        glReadPixels(0, 0, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &cleared);
        return cleared == 1.0f;
    }

    Game* game = nullptr;
    int previousStartMs = 0;
};

} // namespace

TEST_F(GameRender, StillScreensAndGameOverClearButPlayKeepsItsPictureUntilAStall) {
    for (const ScreenState state : {Title, Instructions, GameOver}) {
        EXPECT_TRUE(frameClears(state)) << "screen " << state;
    }
    // The first short frame keeps the picture; a busy machine may stall a few past the limit.
    bool stalled = true;
    bool cleared = true;
    for (int frame = 0; frame < 50 && stalled; ++frame) {
        cleared = frameClears(Playing, &stalled);
    }
    ASSERT_FALSE(stalled) << "no frame was short enough to tell";
    EXPECT_FALSE(cleared);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_TRUE(frameClears(Playing)) << "a frame after a stall starts from cleared buffers";
}

TEST_F(GameRender, PlayFramesClearTheBarsBesideAPictureThatDoesNotFillTheWindow) {
    // A 5:4 window has bars above and below the picture; something left a bar's pixel red.
    View::instance()->reshape(1280, 1024);
    {
        AttribScope redCorner(GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 1, 1);
        glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    frameClears(Playing);
    std::array<unsigned char, 3> bar{};
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, bar.data());
    EXPECT_EQ(bar, (std::array<unsigned char, 3>{0, 0, 0}));
}

TEST(GameScale, TwiceTheSizeFromOneAndAHalfOnAndTypeAtTheWindowsOwnScaleUpToIt) {
    EXPECT_EQ(pictureScaleFor(View::scaleOf(1535, 1152)), kNormalPictures);
    EXPECT_EQ(pictureScaleFor(View::scaleOf(1536, 1152)), kDoublePictures);
    EXPECT_EQ(pictureScaleFor(View::scaleOf(2560, 1100)), kNormalPictures) << "its height decides";
    EXPECT_EQ(Game::glyphScaleFor(0.8), 1.0f);
    EXPECT_EQ(Game::glyphScaleFor(1.25), 1.25f);
    EXPECT_EQ(Game::glyphScaleFor(3.0), 2.0f);
    EXPECT_EQ(scaledPicturePath("./images/a.png", kDoublePictures), "./images/a@2x.png");
    EXPECT_EQ(scaledPicturePath("./images/a.png", kNormalPictures), "./images/a.png");
}
