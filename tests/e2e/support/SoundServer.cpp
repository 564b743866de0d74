#include "SoundServer.h"

#include "Display.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

using namespace std::chrono_literals;

namespace {

constexpr const char* kSinkName = "hexaglint_test_sink";
constexpr auto kStartTimeout = 30s;

// The environment of every PulseAudio program here: the server's folder as home and runtime
// folder, and no X display, through which it would try to start a D-Bus session of its own.
void keepInside(GameProcess::Options& options, const std::string& folder,
                const std::string& address) {
    options.environment["HOME"] = folder;
    options.environment["XDG_RUNTIME_DIR"] = folder;
    options.environment["XDG_CONFIG_HOME"] = folder + "/config";
    options.environment["PULSE_RUNTIME_PATH"] = folder;
    options.environment["PULSE_STATE_PATH"] = folder;
    options.environment["PULSE_SERVER"] = address;
    options.environment["DISPLAY"] = "";
    options.environment["DBUS_SESSION_BUS_ADDRESS"] = "";
}

} // namespace

SoundServer::SoundServer() {
    char pattern[] = "/tmp/hexaglint-pulse-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("cannot make a folder for the sound server");
    }
    folder_ = pattern;
    try {
        // No start-up script: the null sink and the socket are all it loads. Run as root (as CI
        // does) it warns that it was meant for a user's session and goes on; the system mode it
        // suggests would want the system's folders and its own user.
        GameProcess::Options options = GameProcess::helperProgram(
            "pulseaudio",
            {"--daemonize=no", "--use-pid-file=no", "--exit-idle-time=-1", "--realtime=no",
             "--high-priority=no", "--disable-shm=yes", "--log-target=stderr", "-n", "--load",
             std::string("module-null-sink sink_name=") + kSinkName, "--load",
             "module-native-protocol-unix auth-anonymous=1 socket=" + folder_ + "/native"});
        keepInside(options, folder_, address());
        server_ = std::make_unique<GameProcess>(options);

        // It answers once the sink is there.
        bool answers = false;
        waitUntil(
            [&] {
                GameProcess::Options ask =
                    GameProcess::helperProgram("pactl", {"list", "short", "sinks"});
                keepInside(ask, folder_, address());
                GameProcess pactl(ask);
                const auto status = pactl.waitExit(10s);
                answers = status && *status == 0 &&
                          pactl.standardOutput().find(kSinkName) != std::string::npos;
                return answers || !server_->running();
            },
            kStartTimeout);
        if (!answers) {
            throw std::runtime_error(
                std::string("the sound server did not start") +
                (server_->missing() ? " (not installed: make test-deps installs it)" : "") + ": " +
                logs());
        }
    } catch (...) {
        stopAll();
        throw;
    }
}

SoundServer::~SoundServer() {
    stopAll();
}

void SoundServer::stopAll() {
    if (recorder_) {
        recorder_->stop(5s);
    }
    if (server_) {
        server_->stop(5s);
    }
    recorder_.reset();
    server_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void SoundServer::connect(GameProcess::Options& game) const {
    game.environment["SDL_AUDIODRIVER"] = "pulseaudio";
    game.environment["PULSE_SERVER"] = address();
    game.environment["HOME"] = folder_;
    game.environment["XDG_CONFIG_HOME"] = folder_ + "/config";
    game.environment["XDG_RUNTIME_DIR"] = folder_;
    game.environment["PULSE_RUNTIME_PATH"] = folder_;
}

void SoundServer::startRecording() {
    GameProcess::Options options = GameProcess::helperProgram(
        "parec", {std::string("--device=") + kSinkName + ".monitor", "--format=s16le",
                  "--rate=44100", "--channels=2", "--raw"});
    keepInside(options, folder_, address());
    recorder_ = std::make_unique<GameProcess>(options);
}

std::vector<char> SoundServer::recording() const {
    if (!recorder_) {
        return {};
    }
    const std::string bytes = recorder_->standardOutput();
    return {bytes.begin(), bytes.end()};
}

std::string SoundServer::list(const std::string& what) const {
    GameProcess::Options options = GameProcess::helperProgram("pactl", {"list", what});
    keepInside(options, folder_, address());
    GameProcess pactl(options);
    pactl.waitExit(10s);
    return pactl.standardOutput();
}

std::string SoundServer::logs() const {
    std::string text;
    if (server_) {
        text += "\npulseaudio: " + server_->standardError().substr(0, 4000);
    }
    if (recorder_) {
        text += "\nparec: " + recorder_->standardError().substr(0, 4000);
    }
    return text;
}
