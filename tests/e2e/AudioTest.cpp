#include "Display.h"
#include "GameProcess.h"
#include "Recording.h"
#include "ScratchData.h"
#include "SoundServer.h"

#include <signal.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The first frames of the game's own music, without its header frame: a valid MP3 of about the
// given length, so the end of the tune comes within a short test. MPEG-1 layer III frames only.
bool writeShortTune(const std::string& from, const std::string& to, double seconds) {
    const std::vector<char> mp3 = readAll(from);
    static const int kKbps[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int kRates[] = {44100, 48000, 32000};
    std::size_t pos = 0;
    std::size_t start = 0;
    double length = 0.0;
    for (int frame = 0; pos + 40 <= mp3.size() && length < seconds; ++frame) {
        const auto* h = reinterpret_cast<const unsigned char*>(&mp3[pos]);
        if (h[0] != 0xFF || (h[1] & 0xFE) != 0xFA || (h[2] >> 4) == 0 || (h[2] >> 4) == 15 ||
            ((h[2] >> 2) & 3) == 3) {
            return false;
        }
        const int rate = kRates[(h[2] >> 2) & 3];
        const std::size_t size = 144 * kKbps[h[2] >> 4] * 1000 / rate + ((h[2] >> 1) & 1);
        const std::string tag(&mp3[pos + 36], 4);
        if (frame == 0 && (tag == "Info" || tag == "Xing")) {
            start = pos + size; // the header frame states the whole track's length
        } else {
            length += 1152.0 / rate;
        }
        pos += size;
    }
    std::ofstream out(to, std::ios::binary);
    out.write(mp3.data() + start, static_cast<std::streamsize>(pos - start));
    return static_cast<bool>(out);
}

struct AudioTest : ::testing::Test {
    void SetUp() override { display.moveRoot(1270, 1010); }

    XDisplay display;
};

} // namespace

TEST_F(AudioTest, TheMusicPlaysFromStartUp) {
    const std::string recording = "/tmp/hexaglint-e2e-music.raw";
    std::remove(recording.c_str());
    GameProcess::Options options = GameProcess::defaults();
    options.environment["SDL_AUDIODRIVER"] = "disk";
    options.environment["SDL_DISKAUDIOFILE"] = recording;
    GameProcess game(options);
    ASSERT_NE(display.waitForWindow("Hexaglint", 20s), 0u) << game.standardError();

    ASSERT_TRUE(waitForRecording(recording, 2.0, 20s)) << game.standardError();
    const std::vector<char> sound = readAll(recording);
    EXPECT_GT(rms(sound, 0.5, 2.0), 1000.0);
    EXPECT_TRUE(game.running());
    EXPECT_EQ(game.standardOutput(), "");
    std::remove(recording.c_str());
}

TEST_F(AudioTest, TheMusicReachesARunningSoundServer) {
    SoundServer server;
    server.startRecording();
    GameProcess::Options options = GameProcess::defaults();
    server.connect(options);
    GameProcess game(options);
    ASSERT_NE(display.waitForWindow("Hexaglint", 30s), 0u) << game.standardError();

    // The recorder hears silence until the game's stream starts; then the music's last second.
    double loudness = 0.0;
    waitUntil(
        [&] {
            const std::vector<char> sound = server.recording();
            const double seconds = static_cast<double>(sound.size()) / kRecordedBytesPerSecond;
            loudness = seconds >= 1.0 ? rms(sound, seconds - 1.0, seconds) : 0.0;
            return loudness > 1000.0;
        },
        30s);
    EXPECT_GT(loudness, 1000.0) << game.standardError() << server.logs();

    // The mixer lists the stream as the game's, with the desktop entry's icon.
    const std::string streams = server.list("sink-inputs");
    EXPECT_NE(streams.find("application.name = \"Hexaglint\""), std::string::npos) << streams;
    EXPECT_NE(streams.find("application.icon_name = \"" HEXAGLINT_APP_ID "\""), std::string::npos)
        << streams;
    EXPECT_TRUE(game.running());
    EXPECT_EQ(game.standardOutput(), "");
}

TEST_F(AudioTest, TheMusicStartsAgainAtItsEnd) {
    ScratchData data({"audio"});
    ASSERT_TRUE(writeShortTune(std::string(HEXAGLINT_DATA_DIR) + "/audio/backgroundmusic.mp3",
                               data.path("audio/backgroundmusic.mp3"), 1.0));
    const std::string recording = data.path("music.raw");
    GameProcess::Options options = GameProcess::defaults();
    options.workingDirectory = data.path();
    options.environment["SDL_AUDIODRIVER"] = "disk";
    options.environment["SDL_DISKAUDIOFILE"] = recording;
    GameProcess game(options);
    ASSERT_NE(display.waitForWindow("Hexaglint", 20s), 0u) << game.standardError();

    // A one-second tune, heard three times over.
    ASSERT_TRUE(waitForRecording(recording, 3.2, 30s)) << game.standardError();
    const std::vector<char> sound = readAll(recording);
    EXPECT_GT(rms(sound, 0.2, 0.9), 1000.0);
    EXPECT_GT(rms(sound, 1.3, 1.9), 1000.0);
    EXPECT_GT(rms(sound, 2.3, 3.1), 1000.0);
    EXPECT_TRUE(game.running());
}

TEST_F(AudioTest, WithoutASoundDeviceTheGamePlaysSilently) {
    // A driver that does not exist, and none named at all (a machine with no sound service).
    for (const char* driver : {"no-such-driver", ""}) {
        GameProcess::Options options = GameProcess::defaults();
        options.environment["SDL_AUDIODRIVER"] = driver;
        GameProcess game(options);
        const Window window = display.waitForWindow("Hexaglint", 20s);
        ASSERT_NE(window, 0u) << driver << ": " << game.standardError();
        display.movePointer(window, 1000, 750);
        ASSERT_TRUE(display.waitForFrames(window)) << driver;
        const Screenshot title = display.capture(window);
        display.click(1);
        EXPECT_TRUE(display.waitForPicture(
            window, [&](const Screenshot& s) { return s.rgb != title.rgb; }, 5s))
            << driver;
        EXPECT_TRUE(game.running()) << driver;
        EXPECT_EQ(game.standardOutput(), "") << driver;
    }
}

TEST_F(AudioTest, WithoutASessionBusTheGameStartsNoBusAndWritesNothingAtHome) {
    char home[] = "/tmp/hexaglint-home-XXXXXX";
    ASSERT_NE(mkdtemp(home), nullptr);
    // Newer GL drivers (Mesa 25) keep a shader cache under ~/.cache, as caches should be kept;
    // that one is the driver's, so it goes to a folder of its own, and the home stays the game's.
    const std::string driverCache = std::string(home) + "-gl-cache";
    {
        GameProcess::Options options = GameProcess::defaults();
        options.environment["HOME"] = home;
        options.environment["MESA_SHADER_CACHE_DIR"] = driverCache;
        options.environment["DBUS_SESSION_BUS_ADDRESS"] = "";
        GameProcess game(options);
        ASSERT_NE(display.waitForWindow("Hexaglint", 20s), 0u) << game.standardError();
    }
    // Anything still running with this home folder was started by the game.
    const std::string variable = std::string(1, '\0') + "HOME=" + home + '\0';
    for (const auto& process : std::filesystem::directory_iterator("/proc")) {
        std::ifstream in(process.path() / "environ", std::ios::binary);
        const std::string environment((std::istreambuf_iterator<char>(in)), {});
        if (('\0' + environment).find(variable) != std::string::npos) {
            ADD_FAILURE() << process.path() << " outlived the game";
            ::kill(std::stoi(process.path().filename()), SIGTERM);
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(home)) << "the game wrote into " << home;
    std::filesystem::remove_all(home);
    std::filesystem::remove_all(driverCache);
}
