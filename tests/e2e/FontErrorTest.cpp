#include "Display.h"
#include "GameProcess.h"
#include "ScratchData.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace std::chrono_literals;

namespace {

struct FontErrorTest : ::testing::Test {
    void SetUp() override { display.moveRoot(1270, 1010); }

    XDisplay display;
};

const char* const kMessage =
    "FT_New_Face failed (there is probably a problem with your font file)\n";

} // namespace

TEST_F(FontErrorTest, WithoutItsTypeFaceTheGameStopsWithTheReasonAndStatusOne) {
    ScratchData data({"fonts"});
    GameProcess::Options options = GameProcess::defaults();
    options.workingDirectory = data.path();
    GameProcess game(options);
    const auto status = game.waitExit(20s);
    ASSERT_TRUE(status.has_value()) << "still running without a type face";
    EXPECT_EQ(*status, 1);
    EXPECT_EQ(game.standardError(), kMessage);
    EXPECT_EQ(game.standardOutput(), "");
}

TEST_F(FontErrorTest, AFaceFileThatIsNotATypeFaceStopsTheGameTheSameWay) {
    ScratchData data({"fonts"});
    std::ofstream(data.path("fonts/FORTE.TTF")) << "not a type face\n";
    GameProcess::Options options = GameProcess::defaults();
    options.workingDirectory = data.path();
    GameProcess game(options);
    const auto status = game.waitExit(20s);
    ASSERT_TRUE(status.has_value()) << "still running with a broken type face";
    EXPECT_EQ(*status, 1);
    EXPECT_EQ(game.standardError(), kMessage);
    EXPECT_EQ(game.standardOutput(), "");
}
