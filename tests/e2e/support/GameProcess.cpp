#include "GameProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// The shell's status for a command it could not find.
constexpr int kNotRun = 127;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// In the child: puts at fd the captured file, nothing, or a pipe whose reader has gone.
void placeStream(GameProcess::Options::Stream stream, int captured, int fd) {
    int ends[2] = {-1, -1};
    if (stream == GameProcess::Options::Stream::ReaderGone && pipe(ends) == 0) {
        close(ends[0]);
        captured = ends[1];
        signal(SIGPIPE, SIG_DFL); // as a shell starts a pipeline's programs
    }
    stream == GameProcess::Options::Stream::Closed ? close(fd) : dup2(captured, fd);
}

} // namespace

GameProcess::Options GameProcess::defaults() {
    Options options;
    options.binary = HEXAGLINT_BINARY;
    options.workingDirectory = HEXAGLINT_DATA_DIR;
    return options;
}

GameProcess::Options GameProcess::helperProgram(const std::string& binary,
                                                std::vector<std::string> arguments) {
    Options options;
    options.binary = binary;
    options.arguments = std::move(arguments);
    options.workingDirectory = "/tmp";
    options.silentAudio = false;
    options.helper = true;
    return options;
}

GameProcess::GameProcess(Options options) : helper_(options.helper) {
    char pattern[] = "/tmp/hexaglint-e2e-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("cannot make a folder for the game's output");
    }
    outputDirectory_ = pattern;
    const std::string outPath = outputDirectory_ + "/stdout";
    const std::string errPath = outputDirectory_ + "/stderr";

    if (options.silentAudio && options.environment.count("SDL_AUDIODRIVER") == 0) {
        options.environment["SDL_AUDIODRIVER"] = "dummy";
    }
#ifdef HEXAGLINT_PRELOAD
    // The sanitizer build's game keeps its libraries loaded, so that leak reports name them.
    if (!options.helper) {
        options.environment["LD_PRELOAD"] = HEXAGLINT_PRELOAD;
        const char* asan = std::getenv("ASAN_OPTIONS");
        options.environment["ASAN_OPTIONS"] =
            std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0";
    }
#endif
    std::vector<char*> argv;
    argv.push_back(options.binary.data());
    for (std::string& argument : options.arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid_ == 0) {
        // A test that is killed (a timeout, Ctrl+C) takes its game and its servers with it.
        prctl(PR_SET_PDEATHSIG, options.helper ? SIGTERM : SIGKILL);
        if (getppid() != parent) {
            _exit(126);
        }
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || chdir(options.workingDirectory.c_str()) != 0) {
            _exit(126);
        }
        dup2(in, 0);
        placeStream(options.output, out, 1);
        placeStream(options.error, err, 2);
        for (const auto& [name, value] : options.environment) {
            if (value.empty()) {
                unsetenv(name.c_str());
            } else {
                setenv(name.c_str(), value.c_str(), 1);
            }
        }
        execvp(argv[0], argv.data());
        _exit(kNotRun);
    }
}

GameProcess::~GameProcess() {
    if (helper_) {
        stop(std::chrono::seconds(5));
    }
    kill();
    std::remove((outputDirectory_ + "/stdout").c_str());
    std::remove((outputDirectory_ + "/stderr").c_str());
    rmdir(outputDirectory_.c_str());
}

bool GameProcess::running() {
    return !waitExit(std::chrono::milliseconds(0)).has_value();
}

std::optional<int> GameProcess::waitExit(std::chrono::milliseconds timeout) {
    if (status_ || pid_ <= 0) {
        return status_;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int raw = 0;
        const pid_t done = waitpid(pid_, &raw, WNOHANG);
        if (done == pid_) {
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            return status_;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void GameProcess::kill() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        waitExit(std::chrono::seconds(10));
    }
}

bool GameProcess::missing() {
    const std::optional<int> status = waitExit(std::chrono::milliseconds(0));
    return status && *status == kNotRun;
}

void GameProcess::stop(std::chrono::milliseconds grace) {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGTERM);
        if (!waitExit(grace)) {
            kill();
        }
    }
}

std::string GameProcess::backtrace() const {
    if (pid_ <= 0) {
        return "";
    }
    const std::string path = outputDirectory_ + "/backtrace";
    const std::string command =
        "gdb -p " + std::to_string(pid_) + " -batch -ex 'thread apply all bt' > " + path + " 2>&1";
    if (std::system(command.c_str()) != 0) {
        return "";
    }
    const std::string text = readFile(path);
    std::remove(path.c_str());
    return text;
}

std::string GameProcess::standardOutput() const {
    return readFile(outputDirectory_ + "/stdout");
}

std::string GameProcess::standardError() const {
    return readFile(outputDirectory_ + "/stderr");
}

bool GameProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (standardOutput().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

double GameProcess::processorSeconds() const {
    clockid_t clock = 0;
    timespec used{};
    if (clock_getcpuclockid(pid_, &clock) != 0 || clock_gettime(clock, &used) != 0) {
        return 0.0;
    }
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) * 1e-9;
}
