#include "Display.h"
#include "GameProcess.h"
#include "Recording.h"
#include "ScratchData.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

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

TEST_F(FontErrorTest, AMissingDamagedOrOddFaceFileStopsTheGameWithTheReasonAndStatusOne) {
    // Missing, a FIFO, not a face, and a face cut short inside its outlines, which still opens.
    const std::vector<char> face = readAll(HEXAGLINT_DATA_DIR "/fonts/FORTE.TTF");
    std::vector<std::string> faces = {"missing", "a FIFO", "not a type face\n"};
    for (const std::size_t percent : {10, 40, 75}) {
        faces.emplace_back(face.data(), face.size() * percent / 100);
    }
    for (std::size_t i = 0; i < faces.size(); ++i) {
        ScratchData data({"fonts"});
        const std::string path = data.path("fonts/FORTE.TTF");
        if (i == 1) {
            ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
        } else if (i > 1) {
            std::ofstream(path, std::ios::binary) << faces[i];
        }
        GameProcess::Options options = GameProcess::defaults();
        options.workingDirectory = data.path();
        GameProcess game(options);
        EXPECT_EQ(game.waitExit(20s), 1) << "face " << i << " (nothing: still running)";
        expectFontError(game, data.path());
        EXPECT_EQ(game.standardOutput(), "") << i;
    }
}
