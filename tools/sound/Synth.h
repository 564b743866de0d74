#pragma once
// A small synthesiser for the game's music and chime: a few voices rendered straight into
// circular stereo buffers, so that a loop's tail wraps onto its head, plus reverb and echo.

#include <cstddef>
#include <cstdint>
#include <vector>

// Stereo samples whose end joins their start: a note that runs past the end continues at the
// beginning, so a buffer holding a whole number of bars loops without a seam.
class LoopBus {
  public:
    explicit LoopBus(size_t frames);

    size_t frames() const { return left.size(); }
    // Adds a sample at any frame index, negative ones included; indices wrap around the buffer.
    void add(int64_t frame, float l, float r);
    void mixInto(LoopBus& target, float gain) const;

    std::vector<float> left;
    std::vector<float> right;
};

// How loud a note is and where it sits between the speakers (-1 left, 0 centre, 1 right).
struct Placement {
    float gain = 1.0f;
    float pan = 0.0f;
};

double midiToHz(double note);

// Warm pad: detuned additive tones with slow swells; length and fades in seconds.
void padNote(LoopBus& bus, int64_t start, double note, double length, double fadeIn, double fadeOut,
             Placement at);

// Round bass: a sine with a little of its octave and twelfth, soft attack, slow decay.
void bassNote(LoopBus& bus, int64_t start, double note, double length, Placement at);

// Electric-piano-like FM tone: a bright attack that mellows, with a faint metallic tine.
void keyNote(LoopBus& bus, int64_t start, double note, double length, Placement at);

// Glassy bell for melodies: near-sine with a touch of inharmonic shimmer and slow vibrato.
void bellNote(LoopBus& bus, int64_t start, double note, double length, Placement at);

// Runs a stereo reverb over the bus as if it looped forever and returns only the wet signal.
// The bus is played through twice and the second pass kept, so the reverb's tail from the end
// already rings into the start.
LoopBus loopedReverb(const LoopBus& dry, float roomSize, float damping);

// Ping-pong echo over a looping bus, returned wet only, with the same wrap as loopedReverb.
LoopBus loopedEcho(const LoopBus& dry, size_t delayFrames, float feedback);

// Scales the bus so that its largest sample sits at the given peak (0.708 is -3 dBFS).
void normalise(LoopBus& bus, float peak);
