#include "audio/Audio.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

namespace {

// A sine tone as a 16-bit stereo WAV file at 44100 Hz.
void writeTone(const std::string& path, double seconds) {
    const std::uint32_t rate = 44100;
    const std::uint16_t channels = 2;
    const std::uint32_t frames = static_cast<std::uint32_t>(seconds * rate);
    const std::uint32_t dataBytes = frames * channels * 2;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1); // PCM
    u16(channels);
    u32(rate);
    u32(rate * channels * 2);
    u16(static_cast<std::uint16_t>(channels * 2));
    u16(16);
    out.write("data", 4);
    u32(dataBytes);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(8000.0 * std::sin(i * 2.0 * M_PI * 440.0 / rate));
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v));
    }
}

// A fresh folder laid out as the game's data folder, with only the sound files a case asks for.
std::string makeDataFolder(bool withGlitter) {
    char pattern[] = "/tmp/hexaglint-audio-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const std::string audio = dir + "/audio";
    mkdir(audio.c_str(), 0755);
    if (withGlitter) {
        writeTone(audio + "/glitter.wav", 2.0);
    }
    writeTone(audio + "/short.wav", 0.2);
    writeTone(audio + "/long.wav", 1.0);
    return dir;
}

void removeDataFolder(const std::string& dir) {
    for (const char* name : {"glitter.wav", "short.wav", "long.wav"}) {
        std::remove((dir + "/audio/" + name).c_str());
    }
    rmdir((dir + "/audio").c_str());
    rmdir(dir.c_str());
}

// Collects what went wrong in a case run in a process of its own.
struct Problems {
    std::ostringstream text;
    void check(bool ok, const std::string& what) {
        if (!ok) {
            text << what << "\n";
        }
    }
};

// The Audio is one per process on a sound library that is opened once, so each case starts it in
// a process of its own (a re-run of this test binary), with the sound driver and data folder it
// needs. The case reports its problems on standard error.
void runAlone(const char* driver, bool withGlitter,
              const std::function<void(Problems&)>& scenario) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const std::string dir = makeDataFolder(withGlitter);
            if (chdir(dir.c_str()) != 0) {
                std::_Exit(2);
            }
            setenv("SDL_AUDIODRIVER", driver, 1);
            Problems problems;
            scenario(problems);
            removeDataFolder(dir);
            const std::string text = problems.text.str();
            std::fputs(text.c_str(), stderr);
            // Straight out: the mixer's thread is still running.
            std::_Exit(text.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace

TEST(Audio, OpensAt44100HzAndWithoutGlitterTheEffectStaysEmpty) {
    runAlone("dummy", false, [](Problems& p) {
        Audio& audio = *Audio::instance();
        p.check(audio.music == nullptr && audio.effect == nullptr, "handles set before init");
        audio.init();
        p.check(audio.outputOpen(), "the dummy output did not open");
        int rate = 0, channels = 0;
        Uint16 format = 0;
        p.check(Mix_QuerySpec(&rate, &format, &channels) == 1 && rate == 44100,
                "output rate " + std::to_string(rate));
        p.check(audio.effect == nullptr, "effect loaded from nowhere");
        p.check(audio.playEffect() == -1, "an empty effect played");
    });
}

TEST(Audio, TheEffectPlaysOnAtMostTenVoicesAndTheOldestGivesWay) {
    runAlone("dummy", true, [](Problems& p) {
        Audio& audio = *Audio::instance();
        audio.init();
        p.check(audio.effect != nullptr, "glitter.wav not loaded");
        const int first = audio.playEffect();
        p.check(first >= 0, "the effect did not play");
        // Started a few milliseconds apart, so the first is clearly the oldest.
        for (int k = 1; k < Audio::kEffectVoices; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            audio.playEffect();
        }
        p.check(Mix_Playing(-1) == Audio::kEffectVoices, "ten playbacks at once");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        p.check(audio.playEffect() == first, "the eleventh did not replace the first");
        p.check(Mix_Playing(-1) == Audio::kEffectVoices,
                "playing " + std::to_string(Mix_Playing(-1)) + " at once");
    });
}

TEST(Audio, MusicLoopsAndEachNewStreamReplacesTheOldOne) {
    runAlone("dummy", false, [](Problems& p) {
        Audio& audio = *Audio::instance();
        audio.init();
        audio.playMusic("./audio/missing.mp3");
        p.check(audio.music == nullptr, "a missing file gave a stream");
        p.check(Mix_PlayingMusic() == 0, "music from a missing file");

        audio.playMusic("./audio/short.wav");
        p.check(audio.music != nullptr && Mix_PlayingMusic() == 1, "short.wav not playing");
        // Well past the end of a 0.2 s tune it is still playing: it loops.
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        p.check(Mix_PlayingMusic() == 1, "the tune stopped at its end");

        audio.playMusic("./audio/long.wav");
        p.check(Mix_PlayingMusic() == 1 && std::fabs(Mix_MusicDuration(nullptr) - 1.0) < 0.01,
                "the second tune is not the one playing");

        // The old stream is stopped even when the new file cannot be read.
        audio.playMusic("./audio/missing.mp3");
        p.check(audio.music == nullptr, "a missing file kept a stream");
        p.check(Mix_PlayingMusic() == 0, "the previous tune is still playing");
    });
}

TEST(Audio, WithoutADeviceNothingLoadsOrPlays) {
    runAlone("no-such-driver", true, [](Problems& p) {
        Audio& audio = *Audio::instance();
        audio.init();
        p.check(!audio.outputOpen(), "an output opened on a missing driver");
        p.check(audio.effect == nullptr, "the effect loaded without an output");
        audio.playMusic("./audio/long.wav");
        p.check(audio.music == nullptr, "music loaded without an output");
        p.check(audio.playEffect() == -1, "the effect played without an output");
    });
}
