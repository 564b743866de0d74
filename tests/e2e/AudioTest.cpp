#include "Display.h"
#include "GameProcess.h"
#include "ScratchData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// SDL's disk driver writes what the game plays to a file, in the format the game opened the
// output with: 16-bit stereo at 44100 Hz.
constexpr int kBytesPerSecond = 44100 * 2 * 2;

std::vector<char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Root mean square of the samples between two times of the recording.
double rms(const std::vector<char>& bytes, double fromSeconds, double toSeconds) {
    const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.data());
    const std::size_t count = bytes.size() / 2;
    const std::size_t from = static_cast<std::size_t>(fromSeconds * kBytesPerSecond / 2);
    const std::size_t to =
        std::min(count, static_cast<std::size_t>(toSeconds * kBytesPerSecond / 2));
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

// Waits until the recording holds this many seconds of sound.
bool waitForRecording(const std::string& path, double seconds, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        if (in && in.tellg() >= static_cast<std::streamoff>(seconds * kBytesPerSecond)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(100ms);
    }
}

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
        pause(300ms);
        const Screenshot title = display.capture(window);
        display.click(1);
        EXPECT_TRUE(display.waitForPicture(
            window, [&](const Screenshot& s) { return s.rgb != title.rgb; }, 5s))
            << driver;
        EXPECT_TRUE(game.running()) << driver;
        EXPECT_EQ(game.standardOutput(), "") << driver;
    }
}
