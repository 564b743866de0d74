#pragma once
// Starts the real game binary as a child process, with data/ as its working directory, and
// captures its standard output, standard error and exit status.

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>

class GameProcess {
  public:
    struct Options {
        std::string binary;
        std::string workingDirectory;
        // Added to (or, with an empty value and unset true, removed from) the environment.
        std::map<std::string, std::string> environment;
        bool silentAudio = true; // SDL's dummy driver, unless the test sets SDL_AUDIODRIVER itself
    };

    explicit GameProcess(Options options);
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // The game built by this tree, started in the tree's data/ folder.
    static Options defaults();

    pid_t pid() const { return pid_; }
    bool running();
    // Waits for the process to end; the exit status, or nothing on a timeout (the process is then
    // still running). A process killed by a signal reports 128 + the signal number.
    std::optional<int> waitExit(std::chrono::milliseconds timeout);
    void kill();

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
    std::string outputDirectory_;
};
