// Decodes the encoded music with libmpg123 (the decoder under the game's sound library, with its
// default gapless handling) and compares it with the source WAV: the length must match to the
// frame, the audio must not be shifted, and the jump from the last frame back to the first must
// be no larger than the music's own ordinary sample-to-sample steps. A gap or a click at the
// loop point fails. Usage: check_loop <music.mp3> <music.wav>

#include "sound/Wav.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

bool decode(const char* path, PcmSound& out) {
    if (mpg123_init() != MPG123_OK) {
        return false;
    }
    int error = 0;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (handle == nullptr || mpg123_open(handle, path) != MPG123_OK) {
        return false;
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK ||
        encoding != MPG123_ENC_SIGNED_16) {
        return false;
    }
    out.rate = static_cast<int>(rate);
    out.channels = channels;
    std::vector<unsigned char> chunk(1 << 16);
    size_t got = 0;
    int status = MPG123_OK;
    while (status == MPG123_OK || status == MPG123_NEW_FORMAT) {
        status = mpg123_read(handle, chunk.data(), chunk.size(), &got);
        const auto* samples = reinterpret_cast<const short*>(chunk.data());
        out.samples.insert(out.samples.end(), samples, samples + got / 2);
    }
    mpg123_close(handle);
    mpg123_delete(handle);
    return status == MPG123_DONE;
}

// Mean absolute difference between a and b shifted by lag frames (first channel only).
double misfit(const PcmSound& a, const PcmSound& b, long lag) {
    double sum = 0.0;
    size_t count = 0;
    const long n = static_cast<long>(std::min(a.frames(), b.frames()));
    for (long i = 4000; i < n - 4000; i += 7) {
        sum += std::fabs(a.samples[i * a.channels] - b.samples[(i + lag) * b.channels]);
        ++count;
    }
    return sum / static_cast<double>(count);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: check_loop <music.mp3> <music.wav>\n");
        return 2;
    }
    PcmSound decoded;
    PcmSound source;
    if (!decode(argv[1], decoded) || !readWav(argv[2], source)) {
        std::fprintf(stderr, "check_loop: cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    bool ok = true;
    std::printf("frames: source %zu, decoded %zu\n", source.frames(), decoded.frames());
    if (decoded.frames() != source.frames() || decoded.channels != source.channels) {
        std::printf("FAIL: the decoded length differs: the loop would have a gap\n");
        ok = false;
    }

    long bestLag = 0;
    double best = misfit(source, decoded, 0);
    for (long lag = -2000; lag <= 2000; ++lag) {
        const double m = misfit(source, decoded, lag);
        if (m < best) {
            best = m;
            bestLag = lag;
        }
    }
    std::printf("offset of the decoded audio: %ld frames (mean error %.1f)\n", bestLag, best);
    if (bestLag != 0) {
        std::printf("FAIL: the decoded audio is shifted\n");
        ok = false;
    }

    // The seam: compare the step across the loop point with the steps inside the music.
    const size_t n = decoded.frames();
    const int ch = decoded.channels;
    for (int c = 0; c < ch && n > 1; ++c) {
        std::vector<int> steps;
        steps.reserve(n);
        for (size_t i = 0; i + 1 < n; ++i) {
            steps.push_back(
                std::abs(decoded.samples[(i + 1) * ch + c] - decoded.samples[i * ch + c]));
        }
        std::sort(steps.begin(), steps.end());
        const int typical = steps[steps.size() * 99 / 100];
        const int seam = std::abs(decoded.samples[c] - decoded.samples[(n - 1) * ch + c]);
        const int sourceSeam =
            std::abs(source.samples[c] - source.samples[(source.frames() - 1) * ch + c]);
        std::printf("channel %d: seam step %d (source %d), 99th percentile step %d\n", c, seam,
                    sourceSeam, typical);
        if (seam > typical) {
            std::printf("FAIL: the loop point clicks\n");
            ok = false;
        }
    }
    std::printf(ok ? "loop OK\n" : "loop check FAILED\n");
    return ok ? 0 : 1;
}
