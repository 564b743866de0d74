#pragma once
// The sound output: one effect sample held for the whole run and the background music, a stream
// that loops for ever. Without a usable device or without the files the game simply stays silent.

#include <SDL_mixer.h>

class Audio {
  public:
    // At most this many playbacks of the effect sound at once; a further one cuts the oldest off.
    static constexpr int kEffectVoices = 10;
    static constexpr int kOutputRate = 44100;

    static Audio* instance();

    // Opens the output at 44100 Hz and loads "./audio/glitter.wav" into effect. A missing device
    // leaves the output closed, and then nothing here makes a sound or touches a file. Sound
    // files are opened only as openDataFile allows; anything else counts as missing.
    void init();
    // Stops and frees the current music, then plays the named file from its start, looping.
    // A file that cannot be read leaves music empty.
    void playMusic(const char* fileName);
    // One playback of the effect sample, cutting off the oldest one when all voices are busy.
    // Returns the channel it plays on, or -1 when it cannot play.
    int playEffect();

    bool outputOpen() const { return outputOpen_; }

    // The music now playing; null when none.
    Mix_Music* music = nullptr;
    // The effect sample; null when it could not be loaded.
    Mix_Chunk* effect = nullptr;

  private:
    Audio() = default;

    bool outputOpen_ = false;
};
