#include "board/Sparkle.h"

void Sparkle::advance(float dt) {
    age += dt;
    // A parabola through 0 at ages 0 and 1 and through 1 at age 0.5.
    const float b = 2 * age - 1;
    scale = 1 - b * b;
    angle = 45 * (1 - b * b);
    if (angle < 0) {
        dead = true;
    }
}
