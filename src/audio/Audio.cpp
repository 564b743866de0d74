#include "audio/Audio.h"

#include "files/DataFile.h"

#include <SDL.h>

namespace {

// The mixer channels that the effect sample may use, gathered under one tag so that a busy set
// can be asked for its oldest playback.
constexpr int kEffectGroup = 1;
constexpr int kStereo = 2;
// Bytes of mixing per callback: small enough for prompt effects, large enough not to starve.
constexpr int kChunkSize = 2048;

// A sound file for SDL to read, or null when openDataFile refuses it (then it counts as missing).
SDL_RWops* openSoundFile(const char* path) {
    std::FILE* file = openDataFile(path);
    if (file == nullptr) {
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromFP(file, SDL_TRUE);
    if (source == nullptr) {
        std::fclose(file);
    }
    return source;
}

} // namespace

Audio* Audio::instance() {
    static Audio* audio = new Audio();
    return audio;
}

void Audio::init() {
    if (outputOpen_) {
        return;
    }
    // Only the sound part of SDL: the toolkit owns the window and the events. SDL would also
    // turn Ctrl+C and SIGTERM into quit events that nothing here reads, leaving a game that no
    // terminal or session manager could stop; the default handlers stay.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return;
    }
    if (Mix_OpenAudio(kOutputRate, MIX_DEFAULT_FORMAT, kStereo, kChunkSize) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    outputOpen_ = true;
    Mix_AllocateChannels(kEffectVoices);
    Mix_GroupChannels(0, kEffectVoices - 1, kEffectGroup);
    // The loaders close the source whether or not they succeed.
    SDL_RWops* effectFile = openSoundFile("./audio/glitter.wav");
    effect = effectFile != nullptr ? Mix_LoadWAV_RW(effectFile, 1) : nullptr;
}

void Audio::playMusic(const char* fileName) {
    if (!outputOpen_) {
        return;
    }
    if (music != nullptr) {
        // Freeing a playing stream halts it first, so two tunes never overlap.
        Mix_FreeMusic(music);
        music = nullptr;
    }
    SDL_RWops* musicFile = openSoundFile(fileName);
    music = musicFile != nullptr ? Mix_LoadMUS_RW(musicFile, 1) : nullptr;
    if (music != nullptr) {
        Mix_PlayMusic(music, -1);
    }
}

int Audio::playEffect() {
    if (!outputOpen_ || effect == nullptr) {
        return -1;
    }
    int channel = Mix_GroupAvailable(kEffectGroup);
    if (channel < 0) {
        channel = Mix_GroupOldest(kEffectGroup);
    }
    return Mix_PlayChannel(channel, effect, 0);
}
