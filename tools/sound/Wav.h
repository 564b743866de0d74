#pragma once
// 16-bit PCM WAV files: what the game loads its effect from and what the MP3 encoder reads.

#include <cstddef>
#include <string>
#include <vector>

constexpr int sampleRate = 44100;

// Interleaved 16-bit samples with their layout.
struct PcmSound {
    int channels = 0;
    int rate = 0;
    std::vector<short> samples; // frames x channels, interleaved

    size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// Converts float channels (nominally -1..1) to 16 bits with a light triangular dither.
PcmSound toPcm(const std::vector<std::vector<float>>& channels, int rate);

bool writeWav(const std::string& path, const PcmSound& sound);

// Reads a canonical 16-bit PCM WAV (the kind writeWav makes). Returns false for anything else.
bool readWav(const std::string& path, PcmSound& out);
