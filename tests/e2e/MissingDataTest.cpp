#include "Display.h"
#include "GameProcess.h"
#include "Play.h"
#include "Recording.h"
#include "ScratchData.h"

#include "board/Board.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// A data folder with the named folders of data/ missing altogether.
class DataWithout {
  public:
    explicit DataWithout(std::initializer_list<const char*> missing) : data_(missing) {
        for (const char* folder : missing) {
            std::filesystem::remove(data_.path(folder));
        }
    }
    std::string path() const { return data_.path(); }
    std::string path(const std::string& inside) const { return data_.path(inside); }

  private:
    ScratchData data_;
};

GameProcess::Options startIn(const DataWithout& data) {
    GameProcess::Options options = GameProcess::defaults();
    options.workingDirectory = data.path();
    return options;
}

bool isWhite(const Screenshot::Pixel& p) {
    return p.r == 255 && p.g == 255 && p.b == 255;
}

bool allWhite(const Screenshot& shot) {
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            if (!isWhite(shot.at(x, y))) {
                return false;
            }
        }
    }
    return shot.width > 0;
}

// A full-strength gem colour: every channel either on or off.
bool isPure(const Screenshot::Pixel& p) {
    for (const int c : {p.r, p.g, p.b}) {
        if (c > 40 && c < 215) {
            return false;
        }
    }
    return true;
}

// Whether a cell shows an untextured square: a patch around its centre, inside the square
// however the gem is turned, in one pure gem colour throughout. Its colour index, or -1.
int plainSquareColour(const Screenshot& shot, int cell) {
    const WindowPoint centre = cellPixel(cell);
    const Screenshot::Pixel colour = shot.at(centre.x, centre.y);
    if (gemColourOf(colour) < 0 || !isPure(colour)) {
        return -1;
    }
    constexpr int kReach = 12; // pixels; the square's inscribed circle has a radius of 25
    for (int dy = -kReach; dy <= kReach; dy += 3) {
        for (int dx = -kReach; dx <= kReach; dx += 3) {
            const Screenshot::Pixel p = shot.at(centre.x + dx, centre.y + dy);
            if (p.r != colour.r || p.g != colour.g || p.b != colour.b) {
                return -1;
            }
        }
    }
    return gemColourOf(colour);
}

struct MissingDataTest : ::testing::Test {
    void SetUp() override { display.moveRoot(1270, 1010); }

    XDisplay display;
};

} // namespace

TEST_F(MissingDataTest, WithoutImagesEveryPictureIsAPlainSquareInItsColour) {
    DataWithout data({"images"});
    GameProcess game(startIn(data));
    const Window window = display.waitForWindow("Hexaglint", 20s);
    ASSERT_NE(window, 0u) << game.standardError();
    display.movePointer(window, 1020, 764);

    // The title is a white square on the white clear colour, and so are the instructions.
    Screenshot title;
    EXPECT_TRUE(display.waitForPicture(window, allWhite, 10s, &title))
        << "the title screen is not plain white";
    display.click(1);
    ASSERT_TRUE(display.waitForFrames(window));
    EXPECT_TRUE(allWhite(display.capture(window))) << "the instructions are not plain white";
    display.click(1);

    // Play: the white background square, and on it every gem an untextured square in its
    // colour. A sparkle, a white square of its own, may cover a few cells.
    Screenshot play;
    ASSERT_TRUE(display.waitForPicture(
        window, [](const Screenshot& s) { return !allWhite(s); }, 10s, &play))
        << "the play screen never showed";
    ASSERT_TRUE(display.waitForFrames(window));
    play = display.capture(window);
    std::vector<int> colours(Board::kCellCount, -1);
    std::set<int> seen;
    int plain = 0;
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        colours[cell] = plainSquareColour(play, cell);
        if (colours[cell] >= 0) {
            ++plain;
            seen.insert(colours[cell]);
        } else {
            const WindowPoint p = cellPixel(cell);
            EXPECT_TRUE(isWhite(play.at(p.x, p.y)))
                << "cell " << cell << " is neither a plain gem square nor a white sparkle";
        }
    }
    EXPECT_GE(plain, 110) << "cells showing a plain square in a gem colour";
    EXPECT_EQ(seen.size(), 6u);
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        for (const int neighbour : Board::neighbourCells(cell)) {
            if (colours[cell] >= 0 && colours[neighbour] >= 0) {
                EXPECT_NE(colours[cell], colours[neighbour]) << cell << " and " << neighbour;
            }
        }
    }
    for (const WindowPoint corner :
         {WindowPoint{4, 4}, WindowPoint{1019, 4}, WindowPoint{4, 763}, WindowPoint{1019, 763}}) {
        EXPECT_TRUE(isWhite(play.at(corner.x, corner.y))) << "the background is not plain white";
    }
    EXPECT_TRUE(game.running());
    EXPECT_EQ(game.standardOutput(), "");
    EXPECT_EQ(game.standardError(), "") << "a missing image is not reported";
}

TEST_F(MissingDataTest, WithoutSoundsTheGamePlaysSilently) {
    DataWithout data({"audio"});
    const std::string recording = data.path("output.raw");
    GameProcess::Options options = startIn(data);
    // A real output that records what reaches it, so that silence is heard, not assumed.
    options.environment["SDL_AUDIODRIVER"] = "disk";
    options.environment["SDL_DISKAUDIOFILE"] = recording;
    GameProcess game(options);
    const Window window = display.waitForWindow("Hexaglint", 20s);
    ASSERT_NE(window, 0u) << game.standardError();

    Screenshot play;
    ASSERT_NO_FATAL_FAILURE(enterPlay(display, window, &play));
    int coloured = 0;
    for (int cell = 0; cell < Board::kCellCount; ++cell) {
        const WindowPoint p = cellPixel(cell);
        coloured += gemColourOf(play.at(p.x, p.y)) >= 0 ? 1 : 0;
    }
    EXPECT_GE(coloured, 110) << "the board did not come up as usual";

    ASSERT_TRUE(waitForRecording(recording, 2.0, 20s)) << "the output was never opened";
    EXPECT_EQ(rms(readAll(recording), 0.0, 2.0), 0.0);
    EXPECT_TRUE(game.running());
    EXPECT_EQ(game.standardOutput(), "");
}

TEST_F(MissingDataTest, DataFilesThatAreNotRegularFilesAreLeftOutLikeMissingOnes) {
    // The title and the music are FIFOs that no one writes, and the effect sample never ends.
    ScratchData data({"images", "audio"});
    ASSERT_EQ(mkfifo(data.path("images/titlescreen.png").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(data.path("audio/backgroundmusic.mp3").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", data.path("audio/glitter.wav"));
    GameProcess::Options options = GameProcess::defaults();
    options.workingDirectory = data.path();
    GameProcess game(options);
    const Window window = display.waitForWindow("Hexaglint", 20s);
    ASSERT_NE(window, 0u) << game.standardError();
    display.movePointer(window, 1020, 764);
    EXPECT_TRUE(display.waitForPicture(window, allWhite, 10s)) << "start-up did not finish";
    EXPECT_TRUE(game.running());
}
