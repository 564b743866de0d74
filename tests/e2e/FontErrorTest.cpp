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

// The reason, then a line that tells a player started from the wrong folder what was looked for
// where, and how the game is meant to be started.
void expectFontError(const GameProcess& game, const std::string& folder) {
    const std::string error = game.standardError();
    ASSERT_EQ(error.rfind(kMessage, 0), 0u) << error;
    const std::string hint = error.substr(std::string(kMessage).size());
    EXPECT_NE(hint.find("\"./fonts/FORTE.TTF\""), std::string::npos) << hint;
    EXPECT_NE(hint.find("(" + folder + ")"), std::string::npos) << hint;
    EXPECT_NE(hint.find("data folder"), std::string::npos) << hint;
    EXPECT_EQ(hint.find('\n'), hint.size() - 1) << "one line: " << hint;
}

} // namespace

TEST_F(FontErrorTest, WithoutItsTypeFaceTheGameStopsWithTheReasonAndStatusOne) {
    ScratchData data({"fonts"});
    GameProcess::Options options = GameProcess::defaults();
    options.workingDirectory = data.path();
    GameProcess game(options);
    const auto status = game.waitExit(20s);
    ASSERT_TRUE(status.has_value()) << "still running without a type face";
    EXPECT_EQ(*status, 1);
    expectFontError(game, data.path());
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
    expectFontError(game, data.path());
    EXPECT_EQ(game.standardOutput(), "");
}
