#include "Desktop.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

using namespace std::chrono_literals;

namespace {

// Long enough for a loaded machine running the sanitizer build beside it.
constexpr auto kStartTimeout = 30s;

// i3 asks for a configuration on its first start unless it is given one: no bar, no keys, the
// defaults for everything else. Its IPC socket stays in the desktop's folder.
void writeI3Configuration(const std::string& path, const std::string& folder) {
    std::ofstream out(path);
    out << "# i3 config file (v4)\n"
        << "font pango:monospace 8\n"
        << "ipc-socket " << folder << "/i3-ipc.sock\n";
}

std::string notInstalled(GameProcess& process) {
    return process.missing() ? " (not installed: make test-deps installs it)" : "";
}

} // namespace

Desktop::Desktop(WindowManager manager, ScreenSize screen) : screen_(screen) {
    char pattern[] = "/tmp/hexaglint-desktop-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("cannot make a folder for the desktop");
    }
    folder_ = pattern;
    try {
        start(manager);
    } catch (...) {
        stopAll();
        throw;
    }
}

void Desktop::start(WindowManager manager) {
    // The server picks a free display and writes its number on its standard output.
    server_ = std::make_unique<GameProcess>(GameProcess::helperProgram(
        "Xvfb", {"-displayfd", "1", "-screen", "0",
                 std::to_string(screen_.width) + "x" + std::to_string(screen_.height) + "x24",
                 "-nolisten", "tcp", "-br"}));
    if (!waitUntil([&] { return server_->standardOutput().find('\n') != std::string::npos; },
                   kStartTimeout)) {
        throw std::runtime_error("Xvfb did not start" + notInstalled(*server_) + ": " + logs());
    }
    const std::string number = server_->standardOutput();
    displayName_ = ":" + number.substr(0, number.find('\n'));
    display_ = std::make_unique<XDisplay>(displayName_);
    if (manager == WindowManager::None) {
        return;
    }

    GameProcess::Options options;
    if (manager == WindowManager::I3) {
        const std::string configuration = folder_ + "/i3.conf";
        writeI3Configuration(configuration, folder_);
        options = GameProcess::helperProgram("i3", {"-c", configuration, "--shmlog-size", "0"});
    } else if (manager == WindowManager::Openbox) {
        options = GameProcess::helperProgram("openbox", {"--sm-disable"});
    } else {
        options = GameProcess::helperProgram("kwin_x11", {});
        // Neither a session bus nor a compositor: KWin runs without them, and faster.
        options.environment["DBUS_SESSION_BUS_ADDRESS"] = "disabled:";
        options.environment["KWIN_COMPOSE"] = "N";
    }
    options.environment["DISPLAY"] = displayName_;
    // Whatever the manager keeps (caches, session files, sockets) stays in the desktop's folder.
    options.environment["HOME"] = folder_;
    options.environment["XDG_CONFIG_HOME"] = folder_ + "/config";
    options.environment["XDG_CACHE_HOME"] = folder_ + "/cache";
    options.environment["XDG_RUNTIME_DIR"] = folder_;
    manager_ = std::make_unique<GameProcess>(options);
    if (!waitUntil([&] { return !display_->windowManagerName().empty() || !manager_->running(); },
                   kStartTimeout) ||
        !manager_->running()) {
        throw std::runtime_error("the window manager did not take over the screen" +
                                 notInstalled(*manager_) + ": " + logs());
    }
}

Desktop::~Desktop() {
    stopAll();
}

void Desktop::stopAll() {
    display_.reset();
    // The manager first, so that it does not see its server vanish; the server last, so that it
    // removes its socket and lock file.
    if (manager_) {
        manager_->stop(5s);
    }
    if (server_) {
        server_->stop(5s);
    }
    manager_.reset();
    server_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

GameProcess::Options Desktop::gameOptions() const {
    GameProcess::Options options = GameProcess::defaults();
    options.environment["DISPLAY"] = displayName_;
    return options;
}

std::optional<std::string> Desktop::run(const std::string& tool, std::vector<std::string> arguments,
                                        std::chrono::milliseconds timeout) {
    GameProcess::Options options = GameProcess::helperProgram(tool, std::move(arguments));
    options.environment["DISPLAY"] = displayName_;
    GameProcess process(options);
    const std::optional<int> status = process.waitExit(timeout);
    if (!status || *status != 0) {
        return std::nullopt;
    }
    return process.standardOutput();
}

bool Desktop::setMode(int width, int height) {
    // Xvfb takes any mode a client adds to its one output; the timings mean nothing to it.
    const std::string name = std::to_string(width) + "x" + std::to_string(height);
    const std::string w = std::to_string(width);
    const std::string h = std::to_string(height);
    run("xrandr", {"--newmode", name, "60", w, w, w, w, h, h, h, h});
    run("xrandr", {"--addmode", "screen", name});
    return run("xrandr", {"--output", "screen", "--mode", name}).has_value();
}

std::string Desktop::logs() const {
    std::string text;
    if (server_) {
        text += "\nXvfb: " + server_->standardError();
    }
    if (manager_) {
        text += "\nwindow manager: " + manager_->standardError();
    }
    return text;
}
