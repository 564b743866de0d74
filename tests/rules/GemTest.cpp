#include "board/Gem.h"

#include "board/Board.h"
#include "support/KeptBoard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr float kShortUpdate = 0.0001f;

// The sparkles a gem spawns over many short updates, as they were when new: a new sparkle is
// aged in the update that spawns it, and the newest comes first.
std::vector<Sparkle> spawnedSparkles(Gem& gem, int updates) {
    std::srand(7);
    std::vector<Sparkle> spawned;
    for (int i = 0; i < updates; ++i) {
        gem.update(kShortUpdate);
        if (!gem.sparkles.empty() && gem.sparkles.front().age == kShortUpdate) {
            spawned.push_back(gem.sparkles.front());
        }
    }
    return spawned;
}

} // namespace

TEST(GemConstruction, KeepsSixToTenSidesAndStoresAnyOtherCountAsMinusOne) {
    for (int sides = 6; sides <= 10; ++sides) {
        EXPECT_EQ(Gem(sides).sides, sides);
    }
    EXPECT_EQ(Gem(5).sides, -1);
    EXPECT_EQ(Gem(11).sides, -1);
    EXPECT_EQ(Gem(0).sides, -1);
}

TEST(GemConstruction, CallsTheBuiltHookForEveryGemSoABoardsFirstGemCanLoadTheArt) {
    static int calls = 0;
    onGemBuilt = [] { ++calls; };
    const Gem gem(6);
    EXPECT_EQ(calls, 1);
    keptBoard(5);
    EXPECT_EQ(calls, 1 + Board::kCellCount);
    onGemBuilt = nullptr;
}

TEST(GemSetSpin, ClampsAtTenAndFullSpinRevivesEvenWhenItWasAlreadyFull) {
    Gem gem(6);
    gem.life = 0.5f;
    gem.setSpin(10.0f);
    EXPECT_FLOAT_EQ(gem.spin(), 10.0f);
    EXPECT_FLOAT_EQ(gem.life, 0.6f);

    gem.setSpin(12.0f);
    EXPECT_FLOAT_EQ(gem.spin(), 10.0f);
    EXPECT_FLOAT_EQ(gem.lastSpin, 10.0f);
    EXPECT_FLOAT_EQ(gem.life, 0.7f);
}

TEST(GemSetSpin, OnlyARisingSpinRevivesAndLifeIsCappedAtOne) {
    Gem gem(6);
    gem.life = 0.5f;
    gem.setSpin(5.0f);
    EXPECT_FLOAT_EQ(gem.life, 0.55f);

    gem.setSpin(3.0f);
    EXPECT_FLOAT_EQ(gem.spin(), 3.0f);
    EXPECT_FLOAT_EQ(gem.lastSpin, 3.0f);
    EXPECT_FLOAT_EQ(gem.life, 0.55f);

    gem.setSpin(5.0f);
    EXPECT_FLOAT_EQ(gem.life, 0.6f);

    gem.setSpin(5.0f);
    EXPECT_FLOAT_EQ(gem.life, 0.6f) << "an equal spin is not a rise";

    gem.life = 0.99f;
    gem.setSpin(9.0f);
    EXPECT_FLOAT_EQ(gem.life, 1.0f);
}

TEST(GemSetSpin, LockedGemIsPinnedAtHalfAndKeepsItsLifeAndLastSpin) {
    Gem gem(6);
    gem.setSpin(4.0f);
    gem.lock();
    gem.life = 0.8f;
    for (float v : {9.0f, 0.0f, -3.0f, 12.0f}) {
        gem.setSpin(v);
        EXPECT_FLOAT_EQ(gem.spin(), 0.5f);
    }
    EXPECT_FLOAT_EQ(gem.life, 0.8f);
    EXPECT_FLOAT_EQ(gem.lastSpin, 4.0f);
}

TEST(GemSetSpin, DeadGemChangesNothing) {
    Gem gem(6);
    gem.setSpin(4.0f);
    gem.dead = true;
    gem.life = 0.0f;
    gem.setSpin(10.0f);
    EXPECT_FLOAT_EQ(gem.spin(), 4.0f);
    EXPECT_FLOAT_EQ(gem.lastSpin, 4.0f);
    EXPECT_FLOAT_EQ(gem.life, 0.0f);
}

class GemSpreading : public ::testing::Test {
  protected:
    // Cell 63 sits in the middle row; its neighbours are 62, 50, 75, 64, 51, 76.
    void SetUp() override {
        centre().activate();
        centre().chargeTime = 0.2f;
        gem(62).setSpin(3.0f);
        gem(50).setSpin(3.5f);
        gem(75).setSpin(1.0f);
        gem(75).activate();
        for (int cell : {64, 51, 76, 49}) {
            gem(cell).setSpin(2.0f);
        }
    }

    Gem& gem(int cell) { return *board.cells[cell]; }
    Gem& centre() { return gem(63); }

    Board& board = keptBoard(5);
};

TEST_F(GemSpreading, FastPulsingGemNudgesItsSlowIdleNeighboursOnly) {
    centre().setSpin(8.0f);
    // (chargeTime - 0.7) * 0.1 = -0.05
    EXPECT_FLOAT_EQ(gem(62).spin(), 2.95f);
    EXPECT_FLOAT_EQ(gem(64).spin(), 1.95f);
    EXPECT_FLOAT_EQ(gem(51).spin(), 1.95f);
    EXPECT_FLOAT_EQ(gem(76).spin(), 1.95f);
    EXPECT_FLOAT_EQ(gem(50).spin(), 3.5f) << "3.5 is not below 3.5";
    EXPECT_FLOAT_EQ(gem(75).spin(), 1.0f) << "a charging neighbour is left alone";
    EXPECT_FLOAT_EQ(gem(49).spin(), 2.0f) << "the spreading goes one step deep";
}

TEST_F(GemSpreading, NeedsBothPulseAndASpinAboveSeven) {
    centre().setSpin(7.0f);
    EXPECT_FLOAT_EQ(gem(62).spin(), 3.0f);

    centre().pulsing = false;
    centre().setSpin(9.0f);
    EXPECT_FLOAT_EQ(gem(62).spin(), 3.0f);
}

TEST_F(GemSpreading, LateInTheRampTheNudgeIsARiseAndRevives) {
    centre().chargeTime = 0.9f;
    gem(62).life = 0.5f;
    centre().setSpin(9.0f);
    EXPECT_FLOAT_EQ(gem(62).spin(), 3.02f);
    EXPECT_FLOAT_EQ(gem(62).life, 0.5f + 0.0302f);
}

TEST_F(GemSpreading, LockedPulsingGemDoesNotSpreadBecauseItIsHeldAtHalf) {
    centre().lock();
    centre().setSpin(9.0f);
    EXPECT_FLOAT_EQ(gem(62).spin(), 3.0f);
}

TEST(GemActivate, StartsTheRampOnlyWhenNoneIsRunning) {
    Gem gem(6);
    gem.activate();
    EXPECT_TRUE(gem.charging);
    EXPECT_TRUE(gem.pulsing);
    EXPECT_FLOAT_EQ(gem.chargeTime, 0.0f);

    gem.chargeTime = 0.4f;
    gem.activate();
    EXPECT_FLOAT_EQ(gem.chargeTime, 0.4f);
}

TEST(GemRamp, RaisesTheSpinByChargeTimeTenthsEachUpdateAndRevives) {
    Gem gem(6);
    gem.life = 0.5f;
    gem.activate();
    gem.update(0.1f);
    EXPECT_FLOAT_EQ(gem.chargeTime, 0.1f);
    EXPECT_FLOAT_EQ(gem.spin(), 0.01f);
    EXPECT_FLOAT_EQ(gem.life, 0.5f + 0.0001f - 0.003f);
    EXPECT_TRUE(gem.charging);
    EXPECT_TRUE(gem.pulsing) << "no decay while charging, so a tiny spin does not end the pulse";

    gem.update(0.1f);
    EXPECT_FLOAT_EQ(gem.spin(), 0.03f);
}

TEST(GemRamp, EndsOnceOneSecondHasPassed) {
    Gem gem(6);
    gem.activate();
    for (int i = 0; i < 8; ++i) {
        gem.update(0.12f);
    }
    EXPECT_TRUE(gem.charging);
    gem.update(0.12f);
    EXPECT_FALSE(gem.charging);
    EXPECT_TRUE(gem.pulsing);

    // The decay takes over on the next update.
    const float before = gem.spin();
    gem.update(0.12f);
    EXPECT_FLOAT_EQ(gem.spin(), before - 0.12f * before);
}

TEST(GemRamp, EndsAtFullSpin) {
    Gem gem(6);
    gem.setSpin(9.995f);
    gem.life = 0.5f;
    gem.activate();
    gem.update(0.12f);
    EXPECT_FALSE(gem.charging);
    EXPECT_FLOAT_EQ(gem.lastSpin, 8.8f) << "the ramp reached 10, then the decay ran at once";
    EXPECT_FLOAT_EQ(gem.spin(), 8.8f);
    EXPECT_FLOAT_EQ(gem.angle, 10.0f);
    EXPECT_FLOAT_EQ(gem.life, 0.6f - 0.0036f);
}

TEST(GemRamp, DeadGemStillStopsChargingAfterOneSecond) {
    Gem gem(6);
    gem.activate();
    gem.life = 0.001f;
    gem.update(0.1f);
    ASSERT_TRUE(gem.dead);
    for (int i = 0; i < 8; ++i) {
        gem.update(0.1f);
    }
    EXPECT_TRUE(gem.charging);
    gem.update(0.1f);
    EXPECT_FALSE(gem.charging);
}

TEST(GemTurning, AddsTheSpinOncePerUpdateWhateverTheFrameTime) {
    Gem slow(6);
    slow.setSpin(4.0f);
    slow.update(0.01f);
    Gem fast(6);
    fast.setSpin(4.0f);
    fast.update(0.12f);
    EXPECT_FLOAT_EQ(slow.angle, 4.0f);
    EXPECT_FLOAT_EQ(fast.angle, 4.0f);
}

TEST(GemTurning, WrapsOnlyAbove360AndNeverBelowZero) {
    Gem gem(6);
    gem.angle = 358.0f;
    gem.setSpin(4.0f);
    gem.update(0.0f);
    EXPECT_FLOAT_EQ(gem.angle, 2.0f);

    Gem full(6);
    full.angle = 356.0f;
    full.setSpin(4.0f);
    full.update(0.0f);
    EXPECT_FLOAT_EQ(full.angle, 360.0f);

    Gem backwards(6);
    backwards.setSpin(-3.0f);
    backwards.update(0.1f);
    EXPECT_FLOAT_EQ(backwards.angle, -3.0f);
    EXPECT_FLOAT_EQ(backwards.spin(), 0.0f) << "a negative spin is below 0.01 and stops";
}

TEST(GemDecay, ShrinksTheSpinByTheFrameTimeShareWithoutReviving) {
    Gem gem(6);
    gem.setSpin(2.0f);
    gem.life = 0.5f;
    gem.update(0.25f);
    EXPECT_FLOAT_EQ(gem.spin(), 1.5f);
    EXPECT_FLOAT_EQ(gem.lastSpin, 1.5f);
    EXPECT_FLOAT_EQ(gem.life, 0.5f - 0.0075f);
}

TEST(GemDecay, SnapsToZeroBelowOneHundredthAndEndsThePulse) {
    Gem gem(6);
    gem.setSpin(0.0105f);
    gem.pulsing = true;
    gem.update(0.1f);
    EXPECT_FLOAT_EQ(gem.spin(), 0.0f);
    EXPECT_FALSE(gem.pulsing);

    Gem above(6);
    above.setSpin(0.02f);
    above.pulsing = true;
    above.update(0.1f);
    EXPECT_FLOAT_EQ(above.spin(), 0.018f);
    EXPECT_TRUE(above.pulsing);
}

TEST(GemLocked, TurnsAtHalfNeverFadesAndAnActivatedOneKeepsPulsing) {
    Gem gem(6);
    gem.setSpin(6.0f);
    gem.life = 0.4f;
    gem.lock();
    EXPECT_FALSE(gem.spinFree);
    EXPECT_FALSE(gem.fading);
    EXPECT_FLOAT_EQ(gem.spin(), 0.5f);
    EXPECT_FLOAT_EQ(gem.life, 1.0f);

    gem.activate();
    for (int i = 0; i < 20; ++i) {
        gem.update(0.12f);
    }
    EXPECT_FLOAT_EQ(gem.spin(), 0.5f);
    EXPECT_FLOAT_EQ(gem.angle, 10.0f);
    EXPECT_FLOAT_EQ(gem.life, 1.0f);
    EXPECT_FALSE(gem.charging);
    EXPECT_TRUE(gem.pulsing);
}

TEST(GemFading, DiesInTheUpdateThatEmptiesItsLife) {
    Gem gem(6);
    gem.life = 0.01f;
    gem.update(0.1f);
    EXPECT_FLOAT_EQ(gem.life, 0.007f);
    EXPECT_FALSE(gem.dead);

    gem.life = 0.002f;
    gem.update(0.1f);
    EXPECT_FLOAT_EQ(gem.life, 0.0f);
    EXPECT_TRUE(gem.dead);
    EXPECT_TRUE(gem.fading) << "death does not lock";

    gem.update(0.1f);
    EXPECT_FLOAT_EQ(gem.life, 0.0f);
}

TEST(GemFading, DeadGemKeepsTurningAtTheSpinItDiedWith) {
    Gem gem(6);
    gem.setSpin(4.0f);
    gem.life = 0.001f;
    gem.update(0.1f);
    ASSERT_TRUE(gem.dead);
    EXPECT_FLOAT_EQ(gem.spin(), 3.6f);
    gem.update(0.1f);
    gem.update(0.1f);
    EXPECT_FLOAT_EQ(gem.spin(), 3.6f);
    EXPECT_FLOAT_EQ(gem.angle, 4.0f + 3.6f + 3.6f);
}

TEST(GemFading, LosesItsColourInAboutThirtyThreeSeconds) {
    Gem gem(6);
    int updates = 0;
    while (!gem.dead) {
        gem.update(0.1f);
        ++updates;
    }
    EXPECT_NEAR(updates, 334, 1);
}

TEST(GemSparkleSpawn, OnlyBrightSlowGemsSparkleWithinTheirBody) {
    Gem dull(6);
    dull.life = 0.7f;
    EXPECT_TRUE(spawnedSparkles(dull, 5000).empty());
    Gem busy(6);
    busy.setSpin(5.0f);
    EXPECT_TRUE(spawnedSparkles(busy, 5000).empty());

    // About one update in 500, at -0.99 ... 0.99 hundredths of 0.4 gem widths either way.
    Gem idle(6);
    const std::vector<Sparkle> spawned = spawnedSparkles(idle, 20000);
    EXPECT_GT(spawned.size(), 20u);
    EXPECT_LT(spawned.size(), 80u);
    int negativeX = 0;
    int negativeY = 0;
    for (const Sparkle& sparkle : spawned) {
        for (const float at : {sparkle.x, sparkle.y}) {
            EXPECT_LE(std::fabs(at), 0.396f + 1e-6f);
            EXPECT_NEAR(at / 0.004f, std::round(at / 0.004f), 1e-3);
        }
        negativeX += sparkle.x < 0;
        negativeY += sparkle.y < 0;
        EXPECT_FALSE(sparkle.dead);
    }
    EXPECT_GT(negativeX, 0);
    EXPECT_LT(negativeX, static_cast<int>(spawned.size()));
    EXPECT_GT(negativeY, 0);
    EXPECT_LT(negativeY, static_cast<int>(spawned.size()));
}

class GemSparkleAgeing : public ::testing::Test {
  protected:
    void SetUp() override {
        // Too dull to spawn, so no draw interferes.
        gem.life = 0.5f;
    }

    static Sparkle agedAt(float age) {
        Sparkle sparkle;
        sparkle.age = age;
        return sparkle;
    }

    Gem gem{6};
};

TEST_F(GemSparkleAgeing, AgesEverySparkleAndRemovesTheOldestWhenItDies) {
    gem.sparkles = {agedAt(0.2f), agedAt(0.5f), agedAt(0.98f)};
    gem.update(0.05f);
    ASSERT_EQ(gem.sparkles.size(), 2u);
    EXPECT_FLOAT_EQ(gem.sparkles[0].age, 0.25f);
    EXPECT_FLOAT_EQ(gem.sparkles[1].age, 0.55f);
    EXPECT_FALSE(gem.sparkles[0].dead);
    EXPECT_FALSE(gem.sparkles[1].dead);
}

TEST_F(GemSparkleAgeing, TwoDyingTogetherLeaveTheNewerOneDeadForOneMoreUpdate) {
    gem.sparkles = {agedAt(0.97f), agedAt(0.98f)};
    gem.update(0.05f);
    ASSERT_EQ(gem.sparkles.size(), 1u);
    EXPECT_TRUE(gem.sparkles[0].dead);
    EXPECT_FLOAT_EQ(gem.sparkles[0].age, 1.02f);

    gem.update(0.05f);
    EXPECT_TRUE(gem.sparkles.empty());
}

TEST_F(GemSparkleAgeing, AYoungerSparkleThatDiesFirstTakesTheOldestWithIt) {
    // Not a state the game produces, but the rule is positional: the last one goes.
    Sparkle doomed = agedAt(0.99f);
    gem.sparkles = {doomed, agedAt(0.1f)};
    gem.update(0.05f);
    ASSERT_EQ(gem.sparkles.size(), 1u);
    EXPECT_TRUE(gem.sparkles[0].dead);
    EXPECT_FLOAT_EQ(gem.sparkles[0].age, 1.04f);
}
