#pragma once
// A PulseAudio server of the test's own, as a desktop runs one: a null sink in place of a sound
// card, its socket, home and runtime files in a temporary folder, no system daemon and nothing
// of the user's touched. A recorder reads the sink's monitor, so a test hears what the game played
// through the server.

#include "GameProcess.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

class SoundServer {
  public:
    // Starts the server and waits until it answers; throws with the reason when it does not.
    SoundServer();
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // Where clients find the server (the value for PULSE_SERVER).
    std::string address() const { return "unix:" + folder_ + "/native"; }

    // Points the game's sound at this server (SDL's PulseAudio driver), with the server's folder
    // as its home, so that the client library reads and writes nothing of the user's.
    void connect(GameProcess::Options& game) const;

    // Records what reaches the sink from now on, as 16-bit stereo at 44100 Hz (the format of
    // Recording.h).
    void startRecording();
    std::vector<char> recording() const;
    // What `pactl list <what>` says ("sink-inputs": the streams, as a desktop's mixer sees them).
    std::string list(const std::string& what) const;
    // Standard error of the server and the recorder, for a failure message.
    std::string logs() const;

  private:
    void stopAll();

    std::string folder_;
    std::unique_ptr<GameProcess> server_;
    std::unique_ptr<GameProcess> recorder_;
};
