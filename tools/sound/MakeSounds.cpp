// Writes the game's sounds: the glitter chime (WAV) and the background music loop (WAV, which
// the build script encodes to MP3). Usage: make_sounds <glitter.wav> <music.wav>

#include "sound/Synth.h"
#include "sound/Wav.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// 80 beats a minute makes a beat exactly 33075 frames, so bars and the loop are whole frames.
constexpr size_t beat = sampleRate * 60 / 80;
constexpr int beatsPerBar = 4;
constexpr int bars = 16;
constexpr size_t loopFrames = beat * beatsPerBar * bars; // 48 seconds
constexpr double beatSeconds = static_cast<double>(beat) / sampleRate;

// One chord every two bars: the pad's voicing (MIDI notes) and the bass root.
struct Chord {
    std::vector<int> pad;
    int bass = 0;
    int bassSecond = 0; // the second bar's bass note
};

const Chord progression[8] = {
    {{53, 57, 60, 64}, 41, 48}, // Fmaj7
    {{55, 59, 62, 64}, 43, 50}, // G6
    {{52, 55, 59, 62}, 40, 47}, // Em7
    {{57, 60, 64, 67}, 45, 52}, // Am7
    {{57, 60, 62, 65}, 38, 45}, // Dm7
    {{55, 59, 62, 64}, 40, 47}, // Em7
    {{57, 60, 64, 65}, 41, 48}, // Fmaj7
    {{55, 60, 62, 67}, 43, 50}, // Gsus4
};

// Melody notes: start beat within the loop, MIDI note, length in beats.
struct Tone {
    double beat = 0.0;
    int note = 0;
    double length = 0.0;
};

// A few long bell notes over the first half, a sung line over the second.
const Tone melody[] = {
    {0, 76, 4},      {8, 74, 4},    {16, 71, 4}, {24, 72, 3}, {28, 74, 3}, {32, 72, 1.5},
    {33.5, 74, 0.5}, {34, 77, 2},   {36, 76, 1}, {37, 74, 1}, {38, 72, 2}, {40, 71, 1.5},
    {41.5, 72, 0.5}, {42, 74, 2},   {44, 79, 2}, {46, 76, 2}, {48, 77, 1}, {49, 76, 1},
    {50, 72, 2},     {52, 69, 1},   {53, 72, 1}, {54, 76, 2}, {56, 74, 3}, {59, 72, 1},
    {60, 71, 1},     {61, 74, 2.5},
};

int64_t at(double beats) {
    return std::llround(beats * static_cast<double>(beat));
}

LoopBus composeMusic() {
    LoopBus pad(loopFrames);
    LoopBus bass(loopFrames);
    LoopBus keys(loopFrames);
    LoopBus bells(loopFrames);

    const double chordBeats = 2.0 * beatsPerBar;
    for (int c = 0; c < 8; ++c) {
        const Chord& chord = progression[c];
        const double start = c * chordBeats;
        // Pad chords overlap by their fades, so one melts into the next; the last one's fade
        // wraps round onto the first bar.
        for (size_t n = 0; n < chord.pad.size(); ++n) {
            const float pan = -0.45f + 0.3f * static_cast<float>(n);
            padNote(pad, at(start - 0.5), chord.pad[n], (chordBeats + 0.5) * beatSeconds, 1.4, 1.6,
                    {0.11f, pan});
        }
        bassNote(bass, at(start), chord.bass, 3.5 * beatSeconds, {0.42f, 0.0f});
        bassNote(bass, at(start + 4), chord.bassSecond, 1.5 * beatSeconds, {0.30f, 0.0f});
        bassNote(bass, at(start + 6), chord.bass, 1.8 * beatSeconds, {0.32f, 0.0f});

        // A gentle arpeggio in eighths, rising and falling through the chord an octave up.
        std::vector<int> tones;
        for (int note : chord.pad) {
            tones.push_back(note + 12);
        }
        tones.push_back(chord.pad[0] + 24);
        const int shape[16] = {0, 1, 2, 3, 4, 3, 2, 1, 0, 2, 1, 3, 2, 4, 3, 1};
        const float accent[8] = {1.0f, 0.55f, 0.75f, 0.55f, 0.85f, 0.5f, 0.7f, 0.5f};
        for (int step = 0; step < 16; ++step) {
            const int note = tones[static_cast<size_t>(shape[step]) % tones.size()];
            const float pan = (step % 2 == 0) ? -0.35f : 0.35f;
            keyNote(keys, at(start + step * 0.5), note, 1.6, {0.085f * accent[step % 8], pan});
        }
    }
    for (const Tone& tone : melody) {
        bellNote(bells, at(tone.beat), tone.note, tone.length * beatSeconds * 0.95, {0.16f, 0.1f});
    }

    LoopBus mix(loopFrames);
    pad.mixInto(mix, 1.0f);
    bass.mixInto(mix, 1.0f);
    keys.mixInto(mix, 1.0f);
    bells.mixInto(mix, 1.0f);

    // Sends: the pad and bells sit deep in the room, the keys echo on the dotted eighth.
    LoopBus send(loopFrames);
    pad.mixInto(send, 0.8f);
    keys.mixInto(send, 0.6f);
    bells.mixInto(send, 1.0f);
    bass.mixInto(send, 0.15f);
    loopedReverb(send, 0.82f, 0.35f).mixInto(mix, 0.9f);

    LoopBus echoSend(loopFrames);
    keys.mixInto(echoSend, 1.0f);
    bells.mixInto(echoSend, 0.5f);
    loopedEcho(echoSend, beat * 3 / 4, 0.35f).mixInto(mix, 0.28f);

    normalise(mix, 0.708f); // -3 dBFS
    return mix;
}

// A short bright chime: four quick bell strikes climbing an E major chord, left to right.
LoopBus composeGlitter() {
    const size_t frames = sampleRate * 7 / 10; // 0.7 s
    // A longer bus so that nothing wraps; the tail is faded out before the cut.
    LoopBus bus(frames * 2);
    const double notes[4] = {88, 92, 95, 100}; // E6, G#6, B6, E7
    const double ratios[4] = {1.0, 2.0, 3.01, 4.16};
    const double weights[4] = {1.0, 0.3, 0.12, 0.1};
    const double decays[4] = {0.30, 0.16, 0.09, 0.06};
    for (int n = 0; n < 4; ++n) {
        const int64_t start = static_cast<int64_t>(n * 0.045 * sampleRate);
        const double f = midiToHz(notes[n]);
        const double pan = -0.5 + n / 3.0;
        const double gl = std::cos((pan + 1) * 3.14159265358979 / 4);
        const double gr = std::sin((pan + 1) * 3.14159265358979 / 4);
        const double level = 1.0 - 0.12 * n;
        for (int64_t i = 0; i + start < static_cast<int64_t>(frames); ++i) {
            const double t = static_cast<double>(i) / sampleRate;
            const double attack = std::min(1.0, t / 0.0015);
            double s = 0.0;
            for (int p = 0; p < 4; ++p) {
                s += weights[p] * std::exp(-t / decays[p]) *
                     std::sin(2 * 3.14159265358979 * f * ratios[p] * t);
            }
            s *= attack * level;
            bus.add(start + i, static_cast<float>(s * gl), static_cast<float>(s * gr));
        }
    }
    LoopBus wet = loopedReverb(bus, 0.5f, 0.2f);
    wet.mixInto(bus, 0.25f);
    std::vector<std::vector<float>> out(2, std::vector<float>(frames));
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / frames;
        const double fade = t < 0.85 ? 1.0 : 0.5 + 0.5 * std::cos((t - 0.85) / 0.15 * 3.14159265);
        out[0][i] = static_cast<float>(bus.left[i] * fade);
        out[1][i] = static_cast<float>(bus.right[i] * fade);
    }
    LoopBus result(frames);
    result.left = out[0];
    result.right = out[1];
    normalise(result, 0.708f);
    return result;
}

bool save(const LoopBus& bus, const char* path) {
    if (!writeWav(path, toPcm({bus.left, bus.right}, sampleRate))) {
        std::fprintf(stderr, "make_sounds: cannot write %s\n", path);
        return false;
    }
    std::printf("wrote %s (%.2f s)\n", path, static_cast<double>(bus.frames()) / sampleRate);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_sounds <glitter.wav> <music.wav>\n");
        return 2;
    }
    return save(composeGlitter(), argv[1]) && save(composeMusic(), argv[2]) ? 0 : 1;
}
