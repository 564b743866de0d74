#include "audio/Audio.h"

#include "files/DataFile.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace {

// The mixer channels that the effect sample may use, gathered under one tag so that a busy set
// can be asked for its oldest playback.
constexpr int kEffectGroup = 1;
constexpr int kStereo = 2;
// Bytes of mixing per callback: small enough for prompt effects, large enough not to starve.
constexpr int kChunkSize = 2048;
// SDL 3's hint for the icon that the sound server shows beside the game's stream; SDL 2's
// headers do not define it.
constexpr const char* kAudioIconHint = "SDL_AUDIO_DEVICE_APP_ICON_NAME";

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

// Names the game's stream for the sound server, whichever of SDL's drivers plays it, so that the
// desktop's mixer lists it as the game with the game's icon rather than as "SDL Application" or
// the program's file name. Each setting gives way to one the player made: SDL's own hint
// variables beat a hint set here, and the environment variables are left alone when set.
void nameTheStream() {
    // Both drivers take the application's name from this hint.
    SDL_SetHint(SDL_HINT_APP_NAME, HEXAGLINT_APP_NAME);
    // SDL 3, which plays SDL 2's part on newer systems (sdl2-compat), names the icon itself from
    // this hint, over the variables below, falling back on a generic games icon. SDL 2 has no
    // such hint and ignores it.
    SDL_SetHint(kAudioIconHint, HEXAGLINT_APP_ID);
    // SDL 2 sends no icon. PulseAudio's client library adds each PULSE_PROP_<key> variable to what
    // it tells the server about the program, before the list in PULSE_PROP, which would lose to
    // it; PipeWire's adds the list in PIPEWIRE_PROPS to every stream, with the key spelt its way.
    const char* pulseProperties = std::getenv("PULSE_PROP");
    if (pulseProperties == nullptr ||
        std::strstr(pulseProperties, "application.icon_name") == nullptr) {
        setenv("PULSE_PROP_application.icon_name", HEXAGLINT_APP_ID, 0);
    }
    setenv("PIPEWIRE_PROPS", "{ application.icon-name = \"" HEXAGLINT_APP_ID "\" }", 0);
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
    nameTheStream();
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
