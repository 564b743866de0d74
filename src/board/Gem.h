#pragma once
// The gem in one board cell: a coloured polygon that turns, fades to grey while it is loose, dies
// when its colour is gone, and is revived by spinning it up. A locked gem keeps its colour and
// turns slowly for good.

#include "board/Sparkle.h"

#include <vector>

class Board;

// One of -0.99 ... 0.99 in steps of 0.01, from two rand() draws: the magnitude, then the sign.
float randomSigned();

// Called, when set, as each gem is built. The game points it at the loading of the gem pictures
// before it builds its board, so the art is ready with the first gem; the rules themselves never
// draw, so without it (the rules tests) boards are built with no art at all.
using GemBuiltHook = void (*)();
extern GemBuiltHook onGemBuilt;

class Gem {
  public:
    static constexpr int kColourCount = 6;
    static constexpr int kMinSides = 6;
    static constexpr int kMaxSides = 10;
    // The five shapes, hexagon to decagon.
    static constexpr int kShapeCount = kMaxSides - kMinSides + 1;
    static constexpr float kMaxSpin = 10.0f;
    // The spin a locked gem is held at, whatever it is asked to do.
    static constexpr float kLockedSpin = 0.5f;

    // Calls onGemBuilt, then draws the colour with rand(). A side count outside 6..10 is stored as
    // -1 (the gem is then drawn without a body).
    explicit Gem(int sides);

    int colour() const { return colour_; }
    void setColour(int colour) { colour_ = colour; }

    // Degrees per update.
    float spin() const { return spin_; }
    // Sets the spin (at most 10) of a loose gem, reviving it a little when the spin rises; pins a
    // locked gem to 0.5; leaves a dead gem alone. A fast pulsing gem nudges its slow neighbours.
    void setSpin(float v);

    // Starts a click's spin ramp, unless one is already running.
    void activate();

    // One frame: spin ramp, turning, spin decay, fading, sparkle spawn and sparkle ageing.
    void update(float dt);

    // Joins the gem to a matched group for the rest of the game.
    void lock();

    // What a swap moves between two cells: the gem's look and its spin ramp. Everything that
    // belongs to the cell (lock, death, revival memory, sparkles, place) stays.
    void tradeVisibleState(Gem& other);

    // 1 = full colour, 0 = grey.
    float life = 1.0f;
    // 6..10, or -1.
    int sides = -1;
    // Degrees.
    float angle = 0.0f;
    // A click-started spin ramp is running.
    bool charging = false;
    // Set by activate, cleared once the spin has decayed away; only a pulsing gem spreads spin.
    bool pulsing = false;
    // Seconds since activate, advanced while charging.
    float chargeTime = 0.0f;
    // The last spin stored while the gem was loose; a higher one revives it.
    float lastSpin = 0.0f;
    // Cleared by the lock (with fading); a gem that is not spin-free is pinned to 0.5.
    bool spinFree = true;
    // Cleared by the lock; a fading gem loses colour, may be swapped and counts as loose.
    bool fading = true;
    // Life reached 0; never cleared.
    bool dead = false;
    // Newest first.
    std::vector<Sparkle> sparkles;
    // The cell the gem sits in, and the board that owns it; set by the board.
    int index = -1;
    Board* board = nullptr;

  private:
    // The parts of update, in the order it runs them. The order is part of the rules: the turn
    // uses the spin the ramp has just raised, before the decay takes its share, and a sparkle
    // spawned in an update is aged in that same update.
    void rampSpin(float dt);
    void turn();
    void decaySpin(float dt);
    void fade(float dt);
    void maybeSpawnSparkle();
    void ageSparkles(float dt);

    // 0..5, an index into the drawing's colour table.
    int colour_ = 0;
    float spin_ = 0.0f;
};
