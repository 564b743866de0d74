// The game under real window managers, each on a desktop of the test's own: a tiling one (i3),
// which tiles every window it is not told to float, and stacking ones: Openbox, asked to maximise
// the window and to make it fullscreen, on a screen of the common size and on a laptop's that has
// no room for the window, and under a panel; KDE's KWin, which does not say how large its frame
// will be and draws it taller than most, on a screen whose resolution changes while the game
// runs; and on bare servers, one whose desktop is scaled to 200%, where the pictures made at twice
// the size show, one with two monitors and a faulty pager's numbers. Whatever size the window ends
// up, the whole picture (and the whole frame) must show and a click must land on the gem drawn
// under the pointer.

#include "Desktop.h"
#include "Display.h"
#include "GameProcess.h"
#include "Play.h"

#include "board/Board.h"
#include "gfx/PictureScale.h"
#include "ui/BackdropPictures.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The sanitizer build's game is slow to start and to draw; wait on it generously.
constexpr auto kWindowTimeout = 30s;
constexpr auto kOutputTimeout = 10s;
constexpr auto kPictureTimeout = 15s;

std::string hexId(Window window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string describe(const PictureRect& r) {
    return std::to_string(r.width) + "x" + std::to_string(r.height) + " at " +
           std::to_string(r.left) + "," + std::to_string(r.top);
}

// The whole 4:3 picture, as large as the window allows and centred in it (a pixel of rounding
// either way).
bool fitsWindow(const PictureRect& r, int windowWidth, int windowHeight) {
    const bool fillsWidth = std::abs(r.width - windowWidth) <= 1;
    const bool fillsHeight = std::abs(r.height - windowHeight) <= 1;
    const bool fourByThree = std::abs(r.width * 3 - r.height * 4) <= 8;
    const bool centred = std::abs(r.left - (windowWidth - r.left - r.width)) <= 2 &&
                         std::abs(r.top - (windowHeight - r.top - r.height)) <= 2;
    return (fillsWidth || fillsHeight) && fourByThree && centred;
}

// A picture file's pixels, as a screenshot of it would hold them.
Screenshot readPicture(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Screenshot picture;
    if (png_image_begin_read_from_file(&image, path.c_str()) != 0) {
        image.format = PNG_FORMAT_RGB;
        picture.rgb.resize(PNG_IMAGE_SIZE(image));
        if (png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0) {
            picture.width = static_cast<int>(image.width);
            picture.height = static_cast<int>(image.height);
        }
    }
    png_image_free(&image);
    return picture;
}

// How many pixels of two pictures of one size differ by more than a few levels.
int pixelsApart(const Screenshot& a, const Screenshot& b) {
    constexpr int kLevels = 4;
    int apart = 0;
    for (std::size_t i = 0; i + 2 < a.rgb.size() && i + 2 < b.rgb.size(); i += 3) {
        apart += std::abs(a.rgb[i] - b.rgb[i]) > kLevels ||
                 std::abs(a.rgb[i + 1] - b.rgb[i + 1]) > kLevels ||
                 std::abs(a.rgb[i + 2] - b.rgb[i + 2]) > kLevels;
    }
    return apart;
}

class DesktopTest : public ::testing::Test {
  protected:
    // Starts the desktop and the game on it, and waits until the game has drawn and its window
    // has settled.
    void startGame(WindowManager manager, ScreenSize screen = {},
                   const std::string& resources = "") {
        desktop_ = std::make_unique<Desktop>(manager, screen);
        if (!resources.empty()) {
            desktop_->display().setResources(resources);
        }
        launchGame();
    }
    // The game on the desktop as it is now.
    void launchGame() {
        desktop_->display().moveRoot(desktop_->screen().width - 10, 0);
        game_ = std::make_unique<GameProcess>(desktop_->gameOptions());
        // The window as it first shows, before the game could look at its frame.
        waitUntil(
            [&] {
                return (firstSeen_ = desktop_->display().geometry(
                            desktop_->display().firstWindow("Hexaglint")))
                           .width > 0;
            },
            kWindowTimeout);
        window_ = waitForDrawnWindow(desktop_->display(), kWindowTimeout);
        ASSERT_NE(window_, 0u) << game_->standardError() << desktop_->logs();
    }

    // Whether the window's frame lies whole on a screen of this size.
    bool wholeFrameOn(int width, int height) {
        const WindowGeometry g = desktop_->display().frameGeometry(window_);
        return g.x >= 0 && g.y >= 0 && g.x + g.width <= width && g.y + g.height <= height;
    }
    bool sizeBecomes(int width, int height) {
        return waitUntil(
            [&] {
                const WindowGeometry g = desktop_->display().geometry(window_);
                return g.width == width && g.height == height;
            },
            kPictureTimeout);
    }

    // Waits until the play screen shows whole and fitted in the window, as it is now; the
    // rectangle it was found in.
    PictureRect fittedPicture(XDisplay& display) {
        display.waitUntilSettled(window_, kPictureTimeout);
        const WindowGeometry g = display.geometry(window_);
        Screenshot shot;
        const bool fitted = display.waitForPicture(
            window_,
            [&](const Screenshot& s) { return fitsWindow(pictureRectOf(s), g.width, g.height); },
            kPictureTimeout, &shot);
        const PictureRect rect = pictureRectOf(shot);
        shot_ = shot;
        if (!fitted) {
            const std::string path = ::testing::TempDir() + "hexaglint-desktop.ppm";
            shot.save(path);
            ADD_FAILURE() << "the picture shows " << describe(rect) << " in a " << g.width << "x"
                          << g.height << " window (saved in " << path << ")";
        }
        return rect;
    }

    // Asks the window manager to add a state to the window or remove it (wmctrl -b) and, when
    // the manager is expected to do so, waits until the window's state shows it.
    void changeState(Desktop& desktop, const std::string& change, const std::string& atom,
                     bool takes) {
        ASSERT_TRUE(desktop.run("wmctrl", {"-r", "Hexaglint", "-b", change})) << change;
        if (!takes) {
            return;
        }
        const bool adding = change.rfind("add,", 0) == 0;
        EXPECT_TRUE(waitUntil(
            [&] {
                return contains(desktop.display().atomNames(window_, "_NET_WM_STATE"), atom) ==
                       adding;
            },
            kPictureTimeout))
            << change;
    }

    // Clicks where the cell is drawn and waits for the game's debug line.
    void clickCell(XDisplay& display, const PictureRect& rect, int cell,
                   const std::string& expectedLine) {
        const WindowPoint p = placeIn(rect, cellPixel(cell));
        const std::string before = game_->standardOutput();
        display.movePointer(window_, p.x, p.y);
        display.click(1);
        EXPECT_TRUE(game_->waitForOutput(before + expectedLine + "\n", kOutputTimeout))
            << "clicked cell " << cell << " drawn at " << p.x << "," << p.y << " of the picture "
            << describe(rect) << "; the game printed:\n"
            << game_->standardOutput();
    }

    // The game goes before its desktop.
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<GameProcess> game_;
    Window window_ = 0;
    WindowGeometry firstSeen_;
    Screenshot shot_; // the last fitted picture's
};

} // namespace

TEST_F(DesktopTest, UnderI3TheWindowFloatsAtItsSizeAndFullscreenScalesThePictureAndThePointer) {
    startGame(WindowManager::I3);
    ASSERT_FALSE(HasFatalFailure());
    Desktop& desktop = *desktop_;
    XDisplay& display = desktop.display();

    // i3 tiles every window over the whole screen unless it floats, as one of a fixed size does.
    const WindowGeometry g = display.geometry(window_);
    EXPECT_EQ(g.width, 1024) << "a tiled window takes the whole screen";
    EXPECT_EQ(g.height, 768);
    ASSERT_NO_FATAL_FAILURE(enterPlay(display, window_));
    PictureRect rect = fittedPicture(display);
    EXPECT_EQ(rect.width, 1024) << describe(rect);
    EXPECT_EQ(rect.height, 768) << describe(rect);
    clickCell(display, rect, 0, "Set selection to 0");

    // Fullscreen, i3 gives the window the screen's size whatever it asks for: the picture is
    // scaled up, and clicks near opposite corners of the board still find their cells.
    changeState(desktop, "add,fullscreen", "_NET_WM_STATE_FULLSCREEN", true);
    rect = fittedPicture(display);
    EXPECT_TRUE(std::abs(rect.width - desktop.screen().width) <= 1 ||
                std::abs(rect.height - desktop.screen().height) <= 1)
        << describe(rect);
    // The bars above and below are black.
    for (const int y : {0, rect.top - 1, rect.top + rect.height, shot_.height - 1}) {
        for (const int x : {0, shot_.width / 2, shot_.width - 1}) {
            const Screenshot::Pixel p = shot_.at(x, y);
            EXPECT_EQ(p.r + p.g + p.b, 0) << "a bar's pixel at " << x << "," << y;
        }
    }
    clickCell(display, rect, 1, "Swapping 0 and 1");
    clickCell(display, rect, Board::kCellCount - 1, "Set selection to 126");
}

TEST_F(DesktopTest, UnderI3OnASmallScreenTheWholeFrameShows) {
    // i3 neither answers a frame request nor says where the work area is.
    startGame(WindowManager::I3, ScreenSize{800, 600});
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(waitUntil([&] { return wholeFrameOn(800, 600); }, kPictureTimeout));
    ASSERT_NO_FATAL_FAILURE(enterPlay(desktop_->display(), window_));
    clickCell(desktop_->display(), fittedPicture(desktop_->display()), 0, "Set selection to 0");
}

TEST_F(DesktopTest, UnderOpenboxOnALaptopScreenTheShrunkWindowStatesItsSizeAndPlaysWhole) {
    // 1366 x 768 has no room for 1024 x 768 under a title bar.
    const ScreenSize laptop{1366, 768};
    startGame(WindowManager::Openbox, laptop);
    ASSERT_FALSE(HasFatalFailure());
    Desktop& desktop = *desktop_;
    XDisplay& display = desktop.display();

    // Shrunk to fit, every pixel on the screen.
    const WindowGeometry g = display.geometry(window_);
    EXPECT_LT(g.height, 768);
    EXPECT_TRUE(g.x >= 0 && g.y >= 0 && g.x + g.width <= laptop.width &&
                g.y + g.height <= laptop.height)
        << g.width << "x" << g.height << " at " << g.x << "," << g.y;
    // The window tells the manager its one size and its class before it is first shown.
    const auto properties =
        desktop.run("xprop", {"-id", hexId(window_), "WM_NORMAL_HINTS", "WM_CLASS"});
    ASSERT_TRUE(properties.has_value());
    const std::string size = std::to_string(g.width) + " by " + std::to_string(g.height);
    for (const std::string& line :
         {"program specified minimum size: " + size, "program specified maximum size: " + size,
          std::string("WM_CLASS(STRING) = \"hexaglint\", \"Hexaglint\"")}) {
        EXPECT_NE(properties->find(line), std::string::npos) << line << " in " << *properties;
    }
    ASSERT_NO_FATAL_FAILURE(enterPlay(display, window_));
    PictureRect rect = fittedPicture(display);
    EXPECT_TRUE(std::abs(rect.width - g.width) <= 1 && std::abs(rect.height - g.height) <= 1)
        << describe(rect);
    clickCell(display, rect, 0, "Set selection to 0");
    clickCell(display, rect, 1, "Swapping 0 and 1");
    clickCell(display, rect, Board::kCellCount - 1, "Set selection to 126");

    // Openbox offers no Maximise for a window of one size and leaves it as it is when asked all
    // the same; a manager that did maximise it would say so in the window's state.
    const bool maximisable = contains(display.atomNames(window_, "_NET_WM_ALLOWED_ACTIONS"),
                                      "_NET_WM_ACTION_MAXIMIZE_VERT");
    changeState(desktop, "add,maximized_vert,maximized_horz", "_NET_WM_STATE_MAXIMIZED_VERT",
                maximisable);
    rect = fittedPicture(display);
    clickCell(display, rect, 0, "Swapping 126 and 0");

    // Fullscreen, Openbox keeps the window's maximum size, at the screen's corner.
    changeState(desktop, "remove,maximized_vert,maximized_horz", "_NET_WM_STATE_MAXIMIZED_VERT",
                maximisable);
    changeState(desktop, "add,fullscreen", "_NET_WM_STATE_FULLSCREEN", true);
    rect = fittedPicture(display);
    clickCell(display, rect, 0, "Set selection to 0");
    clickCell(display, rect, 1, "Swapping 0 and 1");
}

TEST_F(DesktopTest, OnADesktopScaledTo200PercentTheWindowIsTwiceAsLargeAndPlays) {
    startGame(WindowManager::None, ScreenSize{2560, 1600}, "Xft.dpi:\t192\n");
    ASSERT_FALSE(HasFatalFailure());
    XDisplay& display = desktop_->display();

    const WindowGeometry g = display.geometry(window_);
    EXPECT_EQ(g.width, 2048);
    EXPECT_EQ(g.height, 1536);
    EXPECT_LE(g.y + g.height, 1600) << "moved up just enough to show whole";
    // The title made at twice the size shows texel for texel: the 1x title magnified would
    // differ by more than a few levels in about one pixel in twenty.
    const Screenshot title = display.capture(window_);
    const Screenshot made = readPicture(std::string(HEXAGLINT_DATA_DIR) + "/" +
                                        scaledPicturePath(kBackdropPicturePaths[1], 2));
    ASSERT_EQ(title.width, made.width);
    ASSERT_EQ(title.height, made.height);
    EXPECT_LT(pixelsApart(title, made), title.width * title.height / 200);
    ASSERT_NO_FATAL_FAILURE(enterPlay(display, window_));
    const PictureRect rect = fittedPicture(display);
    EXPECT_EQ(rect.width, 2048) << describe(rect);
    clickCell(display, rect, 0, "Set selection to 0");
    clickCell(display, rect, Board::kCellCount - 1, "Swapping 0 and 126");
}

TEST_F(DesktopTest, UnderKWinTheWholeFrameStaysOnAScreenWhoseResolutionChanges) {
    // A laptop's 1366 x 768, then an external monitor's 1920 x 1080 and the laptop's again.
    desktop_ = std::make_unique<Desktop>(WindowManager::KWin, ScreenSize{1920, 1080});
    ASSERT_TRUE(desktop_->setMode(1366, 768)) << desktop_->logs();
    ASSERT_NO_FATAL_FAILURE(launchGame());
    XDisplay& display = desktop_->display();
    EXPECT_TRUE(waitUntil([&] { return wholeFrameOn(1366, 768); }, kPictureTimeout));
    ASSERT_NO_FATAL_FAILURE(enterPlay(display, window_));
    PictureRect rect = fittedPicture(display);
    clickCell(display, rect, 0, "Set selection to 0");
    clickCell(display, rect, Board::kCellCount - 1, "Swapping 0 and 126");

    ASSERT_TRUE(desktop_->setMode(1920, 1080));
    EXPECT_TRUE(sizeBecomes(1024, 768)) << "back at its full size where there is room";
    ASSERT_TRUE(desktop_->setMode(1366, 768));
    EXPECT_TRUE(waitUntil([&] { return wholeFrameOn(1366, 768); }, kPictureTimeout));
    rect = fittedPicture(display);
    clickCell(display, rect, 1, "Set selection to 1");
}

TEST_F(DesktopTest, UnderOpenboxTheLargestWindowFitsAboveAPanelFromTheStartAndGrowsWhenItGoes) {
    // The panel leaves 1280 x 700; the window plans for Openbox's frame, so it shows at once at
    // the size it keeps, never resized.
    desktop_ = std::make_unique<Desktop>(WindowManager::Openbox);
    XDisplay& display = desktop_->display();
    const Window panel = display.addPanel(1280, 1024, 324);
    ASSERT_TRUE(waitUntil(
        [&] {
            const std::vector<unsigned long> area =
                display.cardinals(display.root(), "_NET_WORKAREA");
            return area.size() >= 4 && area[3] == 700;
        },
        10s));
    ASSERT_NO_FATAL_FAILURE(launchGame());
    const std::vector<unsigned long> e = display.cardinals(window_, "_NET_FRAME_EXTENTS");
    ASSERT_EQ(e.size(), 4u);
    const int height = 700 - static_cast<int>(e[2] + e[3]);
    const int width = (height * 4 + 1) / 3;
    const WindowGeometry g = display.geometry(window_);
    EXPECT_EQ((std::array<int, 3>{g.width, g.height, g.y - int(e[2])}),
              (std::array<int, 3>{width, height, 0}));
    EXPECT_EQ((std::array<int, 2>{firstSeen_.width, firstSeen_.height}),
              (std::array<int, 2>{width, height}));
    ASSERT_NO_FATAL_FAILURE(enterPlay(display, window_));
    clickCell(display, fittedPicture(display), 0, "Set selection to 0");

    // The panel goes: the window is back at its full size, and plays there.
    display.destroy(panel);
    EXPECT_TRUE(sizeBecomes(1024, 768));
    clickCell(display, fittedPicture(display), 1, "Swapping 0 and 1");

    // Minimised, then destroyed: the game ends as its close button ends it.
    display.minimise(window_);
    ASSERT_TRUE(waitUntil([&] { return display.countWindows("Hexaglint") == 0; }, 10s));
    display.destroy(window_);
    EXPECT_EQ(game_->waitExit(10s), 0);
}

TEST_F(DesktopTest, OnTwoMonitorsTheWindowFitsItsOwnAndAFaultyPagersNumbersChangeNothing) {
    // The left monitor is a 1280 x 720 laptop's, and a pager published nonsense.
    desktop_ = std::make_unique<Desktop>(WindowManager::None, ScreenSize{2560, 1024});
    for (const auto& [name, geometry, output] :
         {std::array<std::string, 3>{"left", "1280/300x720/170+0+0", "screen"},
          std::array<std::string, 3>{"right", "1280/300x1024/240+1280+0", "none"}}) {
        ASSERT_TRUE(desktop_->run("xrandr", {"--setmonitor", name, geometry, output}));
    }
    XDisplay& display = desktop_->display();
    constexpr long kHuge = 0x7fffffff;
    display.setCardinals(display.root(), "_NET_CURRENT_DESKTOP", {-1}); // 0xffffffff
    display.setCardinals(display.root(), "_NET_WORKAREA", {kHuge, kHuge, kHuge, kHuge});
    ASSERT_NO_FATAL_FAILURE(launchGame());
    const WindowGeometry g = display.geometry(window_);
    EXPECT_EQ((std::array<int, 4>{g.x, g.y, g.width, g.height}),
              (std::array<int, 4>{100, 0, 960, 720}));
    ASSERT_NO_FATAL_FAILURE(enterPlay(display, window_));
    clickCell(display, fittedPicture(display), 0, "Set selection to 0");

    display.setCardinals(window_, "_NET_FRAME_EXTENTS", {kHuge, kHuge, kHuge, kHuge});
    display.setCardinals(display.root(), "_NET_WORKAREA", {0, 0, kHuge, kHuge});
    ASSERT_TRUE(display.waitForFrames(window_));
    EXPECT_EQ(display.geometry(window_).height, 720);
    clickCell(display, fittedPicture(display), 1, "Swapping 0 and 1");
}
