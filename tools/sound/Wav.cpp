#include "sound/Wav.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace {

void put16(std::vector<char>& out, uint32_t v) {
    out.push_back(static_cast<char>(v & 0xff));
    out.push_back(static_cast<char>((v >> 8) & 0xff));
}

void put32(std::vector<char>& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

uint32_t get32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint32_t get16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}

} // namespace

PcmSound toPcm(const std::vector<std::vector<float>>& channels, int rate) {
    PcmSound out;
    out.channels = static_cast<int>(channels.size());
    out.rate = rate;
    const size_t frames = channels.empty() ? 0 : channels[0].size();
    out.samples.resize(frames * channels.size());
    uint32_t seed = 22222;
    const auto noise = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<double>(seed >> 8) / static_cast<double>(1u << 24);
    };
    for (size_t i = 0; i < frames; ++i) {
        for (size_t c = 0; c < channels.size(); ++c) {
            const double dither = noise() - noise(); // one step peak to peak, triangular
            const double v = std::round(channels[c][i] * 32767.0 + dither);
            out.samples[i * channels.size() + c] =
                static_cast<short>(std::clamp(v, -32768.0, 32767.0));
        }
    }
    return out;
}

bool writeWav(const std::string& path, const PcmSound& sound) {
    const uint32_t dataBytes = static_cast<uint32_t>(sound.samples.size() * 2);
    std::vector<char> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put32(out, 36 + dataBytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, static_cast<uint32_t>(sound.channels));
    put32(out, static_cast<uint32_t>(sound.rate));
    put32(out, static_cast<uint32_t>(sound.rate * sound.channels * 2));
    put16(out, static_cast<uint32_t>(sound.channels * 2));
    put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, dataBytes);
    for (short s : sound.samples) {
        put16(out, static_cast<uint16_t>(s));
    }
    std::ofstream file(path, std::ios::binary);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

bool readWav(const std::string& path, PcmSound& out) {
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    if (bytes.size() < 44 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return false;
    }
    size_t at = 12;
    bool haveFormat = false;
    while (at + 8 <= bytes.size()) {
        const uint32_t size = get32(&bytes[at + 4]);
        const unsigned char* body = &bytes[at + 8];
        if (at + 8 + size > bytes.size()) {
            return false;
        }
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && size >= 16) {
            if (get16(body) != 1 || get16(body + 14) != 16) {
                return false;
            }
            out.channels = static_cast<int>(get16(body + 2));
            out.rate = static_cast<int>(get32(body + 4));
            haveFormat = true;
        } else if (std::memcmp(&bytes[at], "data", 4) == 0 && haveFormat) {
            out.samples.resize(size / 2);
            for (size_t i = 0; i < out.samples.size(); ++i) {
                out.samples[i] = static_cast<short>(get16(body + 2 * i));
            }
            return out.channels > 0;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}
