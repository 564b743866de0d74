#include "Display.h"
#include "GameProcess.h"
#include "Play.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <set>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Every end-to-end test starts with the pointer away from the board.
struct WindowTest : ::testing::Test {
    void SetUp() override { display.moveRoot(1270, 1010); }

    XDisplay display;
};

} // namespace

TEST_F(WindowTest, OpensOneFixedWindowThatSnapsBackAfterAResize) {
    GameProcess game(GameProcess::defaults());
    const Window window = display.waitForWindow("Hexaglint", 20s);
    ASSERT_NE(window, 0u) << game.standardError();
    EXPECT_EQ(display.countWindows("Hexaglint"), 1);

    WindowGeometry g = display.geometry(window);
    EXPECT_EQ(g.width, 1024);
    EXPECT_EQ(g.height, 768);
    EXPECT_EQ(g.x, 100);
    EXPECT_EQ(g.y, 100);

    // Its icon at each size desktops ask for (width, height, ARGB pixels), mostly covered by gems.
    const std::vector<unsigned long> icon = display.cardinals(window, "_NET_WM_ICON");
    std::set<unsigned long> sizes;
    for (std::size_t at = 0, area = 0; at + 2 <= icon.size(); at += 2 + area) {
        area = icon[at] * icon[at + 1];
        ASSERT_LE(at + 2 + area, icon.size());
        const auto seen = std::count_if(icon.begin() + at + 2, icon.begin() + at + 2 + area,
                                        [](unsigned long argb) { return argb >> 24 >= 0x80; });
        EXPECT_GT(seen, static_cast<long>(area / 4)) << "the icon " << icon[at] << " wide";
        sizes.insert(icon[at] == icon[at + 1] ? icon[at] : 0);
    }
    EXPECT_EQ(sizes, (std::set<unsigned long>{16, 32, 48, 64, 128}));

    display.resize(window, 800, 600);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    do {
        pause(50ms);
        g = display.geometry(window);
    } while ((g.width != 1024 || g.height != 768) && std::chrono::steady_clock::now() < deadline);
    EXPECT_EQ(g.width, 1024);
    EXPECT_EQ(g.height, 768);
    EXPECT_TRUE(game.running());
}

TEST_F(WindowTest, KeysChangeNothingAndClosingTheWindowEndsTheProcess) {
    GameProcess game(GameProcess::defaults());
    const Window window = display.waitForWindow("Hexaglint", 20s);
    ASSERT_NE(window, 0u) << game.standardError();
    display.movePointer(window, 1000, 750);
    ASSERT_TRUE(display.waitForFrames(window));
    const Screenshot before = display.capture(window);

    for (const char* key : {"space", "Return", "Escape", "a", "F1", "Left"}) {
        display.tapKey(key);
    }
    ASSERT_TRUE(display.waitForFrames(window));
    const Screenshot after = display.capture(window);
    EXPECT_EQ(before.rgb, after.rgb);
    EXPECT_TRUE(game.running());

    display.close(window);
    const auto status = game.waitExit(10s);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(game.standardOutput(), "");
}

TEST_F(WindowTest, PressesWalkFromTitleThroughInstructionsToPlay) {
    GameProcess game(GameProcess::defaults());
    const Window window = display.waitForWindow("Hexaglint", 20s);
    ASSERT_NE(window, 0u) << game.standardError();
    ASSERT_NO_FATAL_FAILURE(enterPlay(display, window));
    EXPECT_EQ(game.standardOutput(), "");
    EXPECT_TRUE(game.running());
}

TEST_F(WindowTest, InterruptAndTerminateStopTheGameWithItsSoundOpen) {
    // SDL's dummy driver opens a real output, as a sound card would.
    for (const int signal : {SIGINT, SIGTERM}) {
        GameProcess game(GameProcess::defaults());
        const Window window = display.waitForWindow("Hexaglint", 20s);
        ASSERT_NE(window, 0u) << game.standardError();
        ASSERT_EQ(::kill(game.pid(), signal), 0);
        const auto status = game.waitExit(10s);
        ASSERT_TRUE(status.has_value()) << "signal " << signal << " did not stop the game";
        EXPECT_EQ(*status, 128 + signal);
    }
}

namespace {

// A selection and a swap, which write the two debug lines; the game must still draw, and close.
void playTwoMovesAndClose(XDisplay& display, GameProcess& game, const std::string& what) {
    const Window window = display.waitForWindow("Hexaglint", 20s);
    ASSERT_NE(window, 0u) << what;
    ASSERT_NO_FATAL_FAILURE(enterPlay(display, window)) << what;
    for (const int cell : {0, 1}) {
        display.movePointer(window, cellPixel(cell).x, cellPixel(cell).y);
        display.click(1);
        ASSERT_TRUE(display.waitForFrames(window)) << what << ": no frames after cell " << cell;
    }
    display.close(window);
    EXPECT_EQ(game.waitExit(10s), 0) << what;
}

using Stream = GameProcess::Options::Stream;

} // namespace

TEST_F(WindowTest, AClosedOrBrokenStandardStreamCostsOnlyWhatWouldBeWrittenThere) {
    // Without a sound server, the sound library writes its probing messages to standard error.
    for (const Stream stream : {Stream::Closed, Stream::ReaderGone}) {
        for (const bool output : {true, false}) {
            GameProcess::Options options = GameProcess::defaults();
            (output ? options.output : options.error) = stream;
            options.environment["SDL_AUDIODRIVER"] = output ? "dummy" : "";
            options.environment["PULSE_SERVER"] = "unix:/nonexistent";
            GameProcess game(options);
            const std::string what =
                stream == Stream::Closed ? " closed" : " to a pipe, reader gone";
            playTwoMovesAndClose(display, game, (output ? "output" : "error") + what);
        }
    }
}

TEST_F(WindowTest, AWindowDestroyedFromOutsideEndsTheProcess) {
    // At first sight, while start-up still loads, and on the title screen, where the process
    // used to outlive its window now and then, running on without it for good; the limit only
    // has to outlast a loaded machine's delays.
    for (int attempt = 1; attempt <= 6; ++attempt) {
        GameProcess game(GameProcess::defaults());
        Window window = 0;
        ASSERT_TRUE(
            waitUntil([&] { return (window = display.firstWindow("Hexaglint")) != 0; }, 20s));
        const bool drawn = attempt % 2 == 0;
        ASSERT_TRUE(!drawn || display.waitForFrames(window));
        display.destroy(window);
        EXPECT_EQ(game.waitExit(20s), 0) << "attempt " << attempt << ": " << game.standardError();
    }
}
