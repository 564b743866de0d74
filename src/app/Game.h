#pragma once
// The game controller: fixed GL state, loading in a fixed order, frame timing, and the render
// order of the four screens.

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

class Game {
  public:
    static Game* instance();

    // One-time start-up; needs the window's GL context.
    void init();
    // One frame, from the display callback.
    void render();
    // Reads the clock and sets frameTime.
    void measureFrame();
    // Advances the play screen by frameTime.
    void update();

    static constexpr double kMaxFrameTime = 0.12;

  private:
    Game();

    int previousTimeMs_ = 0;
    int currentTimeMs_ = 0;
    double frameTime_ = 0.0;
    bool loaded_ = false;
};
