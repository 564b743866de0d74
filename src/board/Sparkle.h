#pragma once
// A short-lived highlight on a bright, slow gem: it grows to full size and back to nothing over
// one second, then is dropped from its gem's list.

struct Sparkle {
    bool dead = false;
    float scale = 0.0f;
    // Degrees, 0..45.
    float angle = 0.0f;
    // Seconds since the sparkle was spawned.
    float age = 0.0f;
    // Offset from the gem centre, in gem widths.
    float x = 0.0f;
    float y = 0.0f;

    // Ages the sparkle by dt seconds; once it is past one second old its size goes negative and it
    // is marked dead.
    void advance(float dt);
};
