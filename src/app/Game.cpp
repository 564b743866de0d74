#include "app/Game.h"

#include "app/View.h"
#include "audio/Audio.h"
#include "board/Board.h"
#include "board/BoardPlane.h"
#include "board/Gem.h"
#include "board/ScreenState.h"
#include "gfx/BoardDrawing.h"
#include "gfx/GemArt.h"
#include "gfx/GlScope.h"
#include "gfx/PictureScale.h"
#include "gfx/PngTexture.h"
#include "ui/Backdrop.h"
#include "ui/Font.h"
#include "ui/Text.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <vector>

Board* theBoard = nullptr;

FrameTiming frameTimeBetween(int previousMs, int nowMs) {
    // The difference is taken unsigned so that the clock wrapping round still gives a short frame.
    const std::uint32_t elapsedMs =
        static_cast<std::uint32_t>(nowMs) - static_cast<std::uint32_t>(previousMs);
    FrameTiming timing;
    timing.seconds = elapsedMs * 0.001;
    if (timing.seconds > Game::kMaxFrameTime) {
        timing.seconds = Game::kMaxFrameTime;
        timing.clamped = true;
    }
    return timing;
}

std::string fontErrorHint() {
    std::error_code unknown;
    const std::string workingFolder = std::filesystem::current_path(unknown).string();
    return std::string("Hexaglint looks for its type face \"") + Game::kFontPath +
           "\" in the folder it is started from (" + workingFolder +
           "); start it from its data folder, as 'make run' and the installed 'hexaglint' "
           "command do.";
}

bool Game::acceptsQuit(int nowMs) const {
    return gameOverAtMs_ != kNotOver && nowMs - gameOverAtMs_ >= kQuitDelayMs;
}

Game* Game::instance() {
    static Game* game = new Game();
    return game;
}

Game::Game() : previousTimeMs_(glutGet(GLUT_ELAPSED_TIME)) {}

void Game::setFixedGlState() {
    glShadeModel(GL_FLAT);
    glPolygonMode(GL_FRONT, GL_FILL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
}

void Game::decodePicturesAhead(double windowScale) {
    // In the order init uploads them: the backdrops, then the gem art.
    const int scale = pictureScaleFor(windowScale);
    std::vector<std::string> files;
    for (int i = 0; i < Backdrop::kPictureCount; ++i) {
        files.push_back(scaledPicturePath(Backdrop::path(i), scale));
    }
    for (int i = 0; i < GemArt::kSlotCount; ++i) {
        files.push_back(scaledPicturePath(GemArt::path(i), scale));
    }
    std::vector<const char*> paths;
    for (const std::string& file : files) {
        paths.push_back(file.c_str());
    }
    decodePngFilesAhead(paths.data(), paths.size());
}

float Game::glyphScaleFor(double windowScale) {
    return static_cast<float>(std::clamp(windowScale, 1.0, static_cast<double>(kDoublePictures)));
}

void Game::init(double windowScale) {
    setFixedGlState();
    const int pictureScale = pictureScaleFor(windowScale);

    Backdrop* backdrop = Backdrop::instance();
    backdrop->load(pictureScale);
    // The rectangle the view shows, so every backdrop image fills the window.
    backdrop->setBounds(BoardPlane::kTop, BoardPlane::kRight, BoardPlane::kBottom,
                        BoardPlane::kLeft);

    Audio::instance()->init();
    Audio::instance()->playMusic("./audio/backgroundmusic.mp3");
    // The score line is all the game prints; a face that cannot draw it ends start-up here.
    Font::instance()->init(kFontPath, 72, ScoreLine::characters().c_str(),
                           glyphScaleFor(windowScale));

    screenState = Title;
    // The first gem it builds loads the gem art, while the window's context is current.
    useGemArtScale(pictureScale);
    onGemBuilt = ensureGemArt;
    theBoard = new Board();

    loaded_ = true;
}

void Game::measureFrame() {
    const int now = glutGet(GLUT_ELAPSED_TIME);
    currentTimeMs_ = now;
    const FrameTiming timing = frameTimeBetween(previousTimeMs_, now);
    frameTime_ = timing.seconds;
    if (timing.clamped) {
        View::instance()->clear();
    }
    previousTimeMs_ = currentTimeMs_;
}

void Game::update() {
    const float dt = static_cast<float>(frameTime_);
    Backdrop::instance()->update(dt);
    View::instance()->update(dt);
    theBoard->update(dt);
}

void Game::render() {
    MatrixScope frameMatrix;
    measureFrame();

    if (screenState != Playing) {
        View::instance()->clear();
        if (screenState == Title) {
            Backdrop::instance()->drawTitle();
            glutSwapBuffers();
            return;
        }
        if (screenState == Instructions) {
            Backdrop::instance()->drawInstructions();
            glutSwapBuffers();
            return;
        }
    }

    // The play screen is not cleared: the background covers the previous frame.
    View::instance()->clearBars();
    if (loaded_) {
        update();
    }
    View::instance()->applyTransform();
    Backdrop::instance()->drawBackground(static_cast<float>(frameTime_));
    // Ends with the tally, which may switch to GameOver: this frame already shows the score.
    drawBoard(*theBoard);
    if (screenState == GameOver && gameOverAtMs_ == kNotOver) {
        markGameOver(glutGet(GLUT_ELAPSED_TIME));
    }
    scoreLine.draw();
    glutSwapBuffers();
}
