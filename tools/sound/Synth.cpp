#include "sound/Synth.h"

#include "sound/Wav.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double twoPi = 2 * pi;

// Equal-power pan.
void panGains(Placement at, float& l, float& r) {
    const double angle = (at.pan + 1.0) * pi / 4;
    l = static_cast<float>(at.gain * std::cos(angle));
    r = static_cast<float>(at.gain * std::sin(angle));
}

// A raised-cosine fade from 0 to 1 over the given number of seconds.
double smoothRise(double t, double over) {
    if (over <= 0 || t >= over) {
        return 1.0;
    }
    return t <= 0 ? 0.0 : 0.5 - 0.5 * std::cos(pi * t / over);
}

// Lowpass-filtered feedback comb, the body of the reverb.
class Comb {
  public:
    explicit Comb(size_t length) : buffer(length, 0.0f) {}
    float process(float input, float feedback, float damp) {
        const float output = buffer[index];
        filtered = output * (1 - damp) + filtered * damp;
        buffer[index] = input + filtered * feedback;
        index = (index + 1) % buffer.size();
        return output;
    }

  private:
    std::vector<float> buffer;
    size_t index = 0;
    float filtered = 0.0f;
};

// Schroeder allpass that diffuses the combs' echoes.
class Allpass {
  public:
    explicit Allpass(size_t length) : buffer(length, 0.0f) {}
    float process(float input) {
        const float delayed = buffer[index];
        const float output = delayed - input;
        buffer[index] = input + delayed * 0.5f;
        index = (index + 1) % buffer.size();
        return output;
    }

  private:
    std::vector<float> buffer;
    size_t index = 0;
};

// One channel of the classic eight-comb, four-allpass room; the right one is slightly longer.
class ReverbChannel {
  public:
    explicit ReverbChannel(size_t spread) {
        for (size_t length : {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617}) {
            combs.emplace_back(length + spread);
        }
        for (size_t length : {556, 441, 341, 225}) {
            allpasses.emplace_back(length + spread);
        }
    }
    float process(float input, float feedback, float damp) {
        float sum = 0.0f;
        for (Comb& comb : combs) {
            sum += comb.process(input, feedback, damp);
        }
        for (Allpass& allpass : allpasses) {
            sum = allpass.process(sum);
        }
        return sum;
    }

  private:
    std::vector<Comb> combs;
    std::vector<Allpass> allpasses;
};

} // namespace

LoopBus::LoopBus(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

void LoopBus::add(int64_t frame, float l, float r) {
    const int64_t size = static_cast<int64_t>(left.size());
    const size_t at = static_cast<size_t>(((frame % size) + size) % size);
    left[at] += l;
    right[at] += r;
}

void LoopBus::mixInto(LoopBus& target, float gain) const {
    for (size_t i = 0; i < left.size(); ++i) {
        target.left[i] += left[i] * gain;
        target.right[i] += right[i] * gain;
    }
}

double midiToHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

void padNote(LoopBus& bus, int64_t start, double note, double length, double fadeIn, double fadeOut,
             Placement at) {
    float gl = 0;
    float gr = 0;
    panGains(at, gl, gr);
    const double f = midiToHz(note);
    const size_t frames = static_cast<size_t>((length + fadeOut) * sampleRate);
    // Two voices detuned apart, each with a soft harmonic series; they beat slowly, like a
    // chorus, and the voices sit a little apart in the stereo image.
    const double detune[2] = {std::pow(2.0, -6.0 / 1200), std::pow(2.0, 6.0 / 1200)};
    constexpr int harmonics = 7;
    std::array<double, harmonics + 1> amps{};
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        double envelope = smoothRise(t, fadeIn);
        if (t > length) {
            envelope *= 1.0 - smoothRise(t - length, fadeOut);
        }
        if (i % 32 == 0) {
            // The tone opens up as the chord swells and closes again as it fades; this moves
            // slowly, so the harmonic weights are refreshed only every 32 frames.
            const double brightness =
                0.35 + 0.65 * std::sin(pi * std::min(1.0, t / (length + 0.01)));
            for (int h = 1; h <= harmonics; ++h) {
                amps[h] = std::pow(h, -1.6) * std::exp(-(h - 1) * (1.2 - brightness));
            }
        }
        double voice[2] = {0, 0};
        for (int v = 0; v < 2; ++v) {
            for (int h = 1; h <= harmonics; ++h) {
                voice[v] += amps[h] * std::sin(twoPi * f * detune[v] * h * t + h * 0.7 + v * 1.3);
            }
        }
        const double s = envelope * 0.5;
        bus.add(start + static_cast<int64_t>(i),
                static_cast<float>(s * (voice[0] * 1.2 + voice[1] * 0.8) * gl),
                static_cast<float>(s * (voice[0] * 0.8 + voice[1] * 1.2) * gr));
    }
}

void bassNote(LoopBus& bus, int64_t start, double note, double length, Placement at) {
    float gl = 0;
    float gr = 0;
    panGains(at, gl, gr);
    const double f = midiToHz(note);
    const double release = 0.25;
    const size_t frames = static_cast<size_t>((length + release) * sampleRate);
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        double envelope = smoothRise(t, 0.03) * (0.35 + 0.65 * std::exp(-t / 1.4));
        if (t > length) {
            envelope *= 1.0 - smoothRise(t - length, release);
        }
        const double s = envelope * (std::sin(twoPi * f * t) + 0.22 * std::sin(twoPi * 2 * f * t) +
                                     0.06 * std::sin(twoPi * 3 * f * t));
        bus.add(start + static_cast<int64_t>(i), static_cast<float>(s * gl),
                static_cast<float>(s * gr));
    }
}

void keyNote(LoopBus& bus, int64_t start, double note, double length, Placement at) {
    float gl = 0;
    float gr = 0;
    panGains(at, gl, gr);
    const double f = midiToHz(note);
    const double release = 0.08;
    const size_t frames = static_cast<size_t>((length + release) * sampleRate);
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        double envelope = smoothRise(t, 0.004) * std::exp(-t / 0.9);
        if (t > length) {
            envelope *= 1.0 - smoothRise(t - length, release);
        }
        const double index = 0.25 + 1.6 * std::exp(-t / 0.25);
        const double body = std::sin(twoPi * f * t + index * std::sin(twoPi * f * t));
        const double tine = 0.08 * std::exp(-t / 0.06) * std::sin(twoPi * f * 7.01 * t);
        const double s = envelope * (body + tine);
        bus.add(start + static_cast<int64_t>(i), static_cast<float>(s * gl),
                static_cast<float>(s * gr));
    }
}

void bellNote(LoopBus& bus, int64_t start, double note, double length, Placement at) {
    float gl = 0;
    float gr = 0;
    panGains(at, gl, gr);
    const double f = midiToHz(note);
    const double release = 0.3;
    const size_t frames = static_cast<size_t>((length + release) * sampleRate);
    double phase = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        double envelope = smoothRise(t, 0.02) * (0.25 + 0.75 * std::exp(-t / 1.1));
        if (t > length) {
            envelope *= 1.0 - smoothRise(t - length, release);
        }
        const double vibrato = 1.0 + 0.003 * smoothRise(t, 0.6) * std::sin(twoPi * 5.0 * t);
        phase += twoPi * f * vibrato / sampleRate;
        const double s = envelope * (std::sin(phase) + 0.18 * std::sin(2 * phase) +
                                     0.05 * std::exp(-t / 0.4) * std::sin(phase * 5.43));
        bus.add(start + static_cast<int64_t>(i), static_cast<float>(s * gl),
                static_cast<float>(s * gr));
    }
}

LoopBus loopedReverb(const LoopBus& dry, float roomSize, float damping) {
    ReverbChannel left(0);
    ReverbChannel right(23);
    LoopBus wet(dry.frames());
    const float feedback = 0.28f + 0.7f * roomSize;
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < dry.frames(); ++i) {
            const float input = (dry.left[i] + dry.right[i]) * 0.015f;
            const float l = left.process(input, feedback, damping);
            const float r = right.process(input, feedback, damping);
            if (pass == 1) {
                wet.left[i] = l;
                wet.right[i] = r;
            }
        }
    }
    return wet;
}

LoopBus loopedEcho(const LoopBus& dry, size_t delayFrames, float feedback) {
    std::vector<float> lineL(delayFrames, 0.0f);
    std::vector<float> lineR(delayFrames, 0.0f);
    LoopBus wet(dry.frames());
    size_t at = 0;
    float toneL = 0.0f;
    float toneR = 0.0f;
    for (int pass = 0; pass < 3; ++pass) {
        for (size_t i = 0; i < dry.frames(); ++i) {
            const float outL = lineL[at];
            const float outR = lineR[at];
            // Each repeat crosses to the other side and loses a little treble.
            toneL += 0.35f * (outR - toneL);
            toneR += 0.35f * (outL - toneR);
            lineL[at] = dry.left[i] * 0.5f + dry.right[i] * 0.5f + toneL * feedback;
            lineR[at] = toneR * feedback;
            at = (at + 1) % delayFrames;
            if (pass == 2) {
                wet.left[i] = outL;
                wet.right[i] = outR;
            }
        }
    }
    return wet;
}

void normalise(LoopBus& bus, float peak) {
    float largest = 0.0f;
    for (size_t i = 0; i < bus.frames(); ++i) {
        largest = std::max({largest, std::fabs(bus.left[i]), std::fabs(bus.right[i])});
    }
    if (largest <= 0.0f) {
        return;
    }
    const float scale = peak / largest;
    for (size_t i = 0; i < bus.frames(); ++i) {
        bus.left[i] *= scale;
        bus.right[i] *= scale;
    }
}
