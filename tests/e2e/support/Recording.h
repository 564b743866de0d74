#pragma once
// What the game played, as SDL's disk audio driver records it: the raw samples in the format the
// game opened its output with, 16-bit stereo at 44100 Hz.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

constexpr int kRecordedBytesPerSecond = 44100 * 2 * 2;

inline std::vector<char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Root mean square of the samples between two times of the recording.
inline double rms(const std::vector<char>& bytes, double fromSeconds, double toSeconds) {
    const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.data());
    const std::size_t count = bytes.size() / 2;
    const std::size_t from = static_cast<std::size_t>(fromSeconds * kRecordedBytesPerSecond / 2);
    const std::size_t to =
        std::min(count, static_cast<std::size_t>(toSeconds * kRecordedBytesPerSecond / 2));
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

// Waits until the recording holds this many seconds of sound.
inline bool waitForRecording(const std::string& path, double seconds,
                             std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        if (in && in.tellg() >= static_cast<std::streamoff>(seconds * kRecordedBytesPerSecond)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}
