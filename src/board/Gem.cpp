#include "board/Gem.h"

#include "board/Board.h"

#include <cstddef>
#include <cstdlib>
#include <utility>

namespace {

// Spin above which a pulsing gem spreads to its neighbours, and below which a neighbour takes
// the nudge. The nudge is at most a few hundredths, so a neighbour never gets from below 3.5 to
// above 7 and the spreading stops one step out.
constexpr float kSpreadFrom = 7.0f;
constexpr float kSpreadTo = 3.5f;

// Life gained per unit of a rising spin.
constexpr double kReviveRate = 0.01;
// Life lost per second while loose: about 33 seconds from full colour to grey.
constexpr double kFadeRate = 0.03;
// A decaying spin this small stops the gem and ends its pulse.
constexpr double kSpinStop = 0.01;
// A ramp ends after this many seconds or at full spin.
constexpr double kChargeSeconds = 1.0;

// One update in this many spawns a sparkle on a bright, slow gem.
constexpr int kSparkleOdds = 500;
constexpr double kSparkleLife = 0.7;
constexpr double kSparkleSpin = 1.0;
// Sparkles stay within this distance of the centre, in gem widths.
constexpr double kSparkleSpread = 0.4;

} // namespace

GemBuiltHook onGemBuilt = nullptr;

float randomSigned() {
    const int magnitude = std::rand() % 100;
    float value = static_cast<float>(magnitude * 0.01);
    if (std::rand() % 2 == 1) {
        value = -value;
    }
    return value;
}

Gem::Gem(int sides) {
    if (onGemBuilt != nullptr) {
        onGemBuilt();
    }
    if (sides >= kMinSides && sides <= kMaxSides) {
        this->sides = sides;
    }
    colour_ = std::rand() % kColourCount;
}

void Gem::setSpin(float v) {
    if (dead) {
        return;
    }
    if (spinFree) {
        if (v > kMaxSpin) {
            v = kMaxSpin;
        }
        spin_ = v;
        // Full spin always revives, so a gem held at 10 keeps gaining.
        if (v > lastSpin || v == kMaxSpin) {
            life += kReviveRate * v;
            if (life > 1.0f) {
                life = 1.0f;
            }
        }
        lastSpin = v;
    } else {
        spin_ = kLockedSpin;
    }

    if (spin_ > kSpreadFrom && pulsing && board != nullptr) {
        for (int cell : Board::neighbourCells(index)) {
            Gem& neighbour = *board->cells[cell];
            if (!neighbour.charging && neighbour.spin_ < kSpreadTo) {
                neighbour.setSpin(neighbour.spin_ + (chargeTime - 0.7) * 0.1);
            }
        }
    }
}

void Gem::activate() {
    if (charging) {
        return;
    }
    charging = true;
    pulsing = true;
    chargeTime = 0.0f;
}

void Gem::update(float dt) {
    rampSpin(dt);
    turn();
    decaySpin(dt);
    fade(dt);
    maybeSpawnSparkle();
    ageSparkles(dt);
}

void Gem::lock() {
    spinFree = false;
    fading = false;
    spin_ = kLockedSpin;
    life = 1.0f;
}

void Gem::tradeVisibleState(Gem& other) {
    std::swap(colour_, other.colour_);
    std::swap(life, other.life);
    std::swap(sides, other.sides);
    std::swap(angle, other.angle);
    std::swap(charging, other.charging);
    std::swap(pulsing, other.pulsing);
    std::swap(chargeTime, other.chargeTime);
    std::swap(spin_, other.spin_);
}

void Gem::rampSpin(float dt) {
    if (!charging) {
        return;
    }
    chargeTime += dt;
    setSpin(chargeTime * 0.1 + spin_);
    if (spin_ >= kMaxSpin) {
        charging = false;
    }
    if (chargeTime >= kChargeSeconds) {
        charging = false;
    }
}

void Gem::turn() {
    // Per update, not per second: a faster machine turns its gems faster.
    angle += spin_ < kMaxSpin ? spin_ : kMaxSpin;
    if (angle > 360) {
        angle -= 360;
    }
}

void Gem::decaySpin(float dt) {
    if (!spinFree) {
        setSpin(5.0f);
        return;
    }
    if (spin_ != 0 && !charging) {
        setSpin(spin_ - dt * spin_);
        if (spin_ < kSpinStop) {
            spin_ = 0.0f;
            pulsing = false;
        }
    }
}

void Gem::fade(float dt) {
    if (!fading) {
        return;
    }
    life -= kFadeRate * dt;
    if (!(life > 0)) {
        life = 0.0f;
        dead = true;
    }
}

void Gem::maybeSpawnSparkle() {
    // rand() is drawn only for a bright, slow gem.
    if (life > kSparkleLife && spin_ < kSparkleSpin && std::rand() % kSparkleOdds == 1) {
        sparkles.insert(sparkles.begin(), Sparkle{});
        sparkles.front().x = randomSigned() * kSparkleSpread;
        sparkles.front().y = randomSigned() * kSparkleSpread;
    }
}

void Gem::ageSparkles(float dt) {
    // Every sparkle lives equally long and they are spawned in different updates, so the one that
    // just died is normally the oldest, at the back. When two die in one update the newer one
    // stays, dead, until a later update finds it last.
    for (std::size_t i = 0; i < sparkles.size(); ++i) {
        sparkles[i].advance(dt);
        if (sparkles[i].dead) {
            sparkles.pop_back();
        }
    }
}
