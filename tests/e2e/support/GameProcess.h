#pragma once
// Starts the real game binary as a child process, with data/ as its working directory, and
// captures its standard output, standard error and exit status. Helper programs that a test runs
// beside the game (an X server, a window manager, a sound server, xprop) are started the same way.

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

class GameProcess {
  public:
    struct Options {
        std::string binary; // a path, or a name looked up in PATH
        std::vector<std::string> arguments;
        std::string workingDirectory;
        // Added to (or, with an empty value and unset true, removed from) the environment.
        std::map<std::string, std::string> environment;
        bool silentAudio = true; // SDL's dummy driver, unless the test sets SDL_AUDIODRIVER itself
        // A helper program runs as installed, without the game's sanitizer preload, and is asked
        // to end with SIGTERM before it is killed, so that it can remove its sockets and locks.
        bool helper = false;
        // Standard output and error are captured, unless a test starts the program with one of
        // them closed, as some launchers do, or going into a pipe whose reader has gone.
        enum class Stream { Captured, Closed, ReaderGone };
        Stream output = Stream::Captured;
        Stream error = Stream::Captured;
    };

    explicit GameProcess(Options options);
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // The game built by this tree, started in the tree's data/ folder.
    static Options defaults();
    // An installed helper program with these arguments, started in /tmp.
    static Options helperProgram(const std::string& binary, std::vector<std::string> arguments);

    pid_t pid() const { return pid_; }
    bool running();
    // Waits for the process to end; the exit status, or nothing on a timeout (the process is then
    // still running). A process killed by a signal reports 128 + the signal number.
    std::optional<int> waitExit(std::chrono::milliseconds timeout);
    void kill();
    // Whether the program could not be run at all, as when it is not installed.
    bool missing();
    // SIGTERM, and SIGKILL when the process has not ended within the grace time.
    void stop(std::chrono::milliseconds grace);

    // The processor time the process has used so far, every thread's, in seconds.
    double processorSeconds() const;

    // Every thread's stack of the running process, through gdb, for a test that finds the game
    // stuck; empty when gdb is not there.
    std::string backtrace() const;

    std::string standardOutput() const;
    std::string standardError() const;
    // Polls standard output until it contains text.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout) const;

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
    bool helper_ = false;
    std::string outputDirectory_;
};
