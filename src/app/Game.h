#pragma once
// The game controller: fixed GL state, loading in a fixed order, frame timing, and the render
// order of the four screens.

#include <string>

class Board;

// The one board, built at start-up and kept for the whole run.
extern Board* theBoard;

// How long a frame lasted, from two readings of the toolkit's millisecond clock. A stall (loading,
// a dragged window) is simulated as one frame of at most kMaxFrameTime seconds, and such a frame
// starts from cleared buffers.
struct FrameTiming {
    double seconds = 0.0;
    bool clamped = false;
};
FrameTiming frameTimeBetween(int previousMs, int nowMs);

// The line printed under the type face's error: which file was looked for, in which folder (the
// working one), and how the game is meant to be started.
std::string fontErrorHint();

class Game {
  public:
    static Game* instance();

    // One-time start-up; needs the window's GL context. windowScale is how many times the
    // picture's size the window opens at (View::scaleOf): the pictures and the type are made for
    // it. A window that changes size later shows them scaled, as made at start-up.
    void init(double windowScale = 1.0);
    // Starts decoding, on a worker, the pictures that init uploads for a window of this scale:
    // before main for a window at the picture's size, and again from main once the window's
    // plan is known (which changes nothing unless it calls for other pictures).
    static void decodePicturesAhead(double windowScale);
    // The glyphs' texels to a pixel of the type's layout for a window of this scale: the window's
    // own scale, from 1 (a smaller window keeps the layout's glyphs) up to the largest scale the
    // pictures are made at.
    static float glyphScaleFor(double windowScale);
    // The GL state that start-up sets once and every frame then draws under: flat shading,
    // back-face culling, the depth test with LEQUAL, a white clear colour.
    static void setFixedGlState();
    // One frame, from the display callback.
    void render();
    // Reads the clock and sets frameTime.
    void measureFrame();
    // Advances the play screen by frameTime.
    void update();

    // Game over comes the moment the last loose gems die, usually in the middle of a move, so the
    // player's next press was meant for a gem: a left press quits only once the final score has
    // been up for kQuitDelayMs.
    bool acceptsQuit(int nowMs) const;
    // Notes when the final score first showed, by the toolkit's clock.
    void markGameOver(int nowMs) { gameOverAtMs_ = nowMs; }

    static constexpr double kMaxFrameTime = 0.12;
    static constexpr int kQuitDelayMs = 1000;
    // Where the type face is read from, relative to the folder the game is started in.
    static constexpr const char* kFontPath = "./fonts/FORTE.TTF";

  private:
    Game();

    int previousTimeMs_ = 0;
    int currentTimeMs_ = 0;
    double frameTime_ = 0.0;
    bool loaded_ = false;
    // When the game-over screen first showed; kNotOver while play goes on.
    static constexpr int kNotOver = -1;
    int gameOverAtMs_ = kNotOver;
};
