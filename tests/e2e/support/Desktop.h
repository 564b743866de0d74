#pragma once
// A desktop of the test's own: a private X server (Xvfb, 1280 x 1024 unless the test asks for
// another screen) with a real window manager on it (i3, Openbox, KDE's KWin), or none, so that a
// test sees the game framed, placed, tiled, maximised and made fullscreen the way a player's
// desktop does it, without disturbing the shared display the other tests use. Everything it starts
// is stopped when it goes, after a failed assertion as well.

#include "Display.h"
#include "GameProcess.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class WindowManager { None, I3, Openbox, KWin };

struct ScreenSize {
    int width = 1280;
    int height = 1024;
};

class Desktop {
  public:
    // Starts the server and the window manager and waits until the manager has taken over the
    // screen; throws with the reason when either does not come up.
    explicit Desktop(WindowManager manager, ScreenSize screen = {});
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    const std::string& displayName() const { return displayName_; }
    const ScreenSize& screen() const { return screen_; }
    XDisplay& display() { return *display_; }
    // The game built by this tree, on this desktop.
    GameProcess::Options gameOptions() const;
    // Runs a command-line tool (wmctrl, xprop) on this desktop to its end: its standard output,
    // or nothing when it failed or did not end in time.
    std::optional<std::string> run(const std::string& tool, std::vector<std::string> arguments,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Switches the screen to a mode of this size, as a player lowering the resolution does (the
    // server's screen started at least as large); false when the server refused.
    bool setMode(int width, int height);
    // Standard error of the server and the window manager, for a failure message.
    std::string logs() const;

  private:
    void start(WindowManager manager);
    void stopAll();

    ScreenSize screen_;
    std::string folder_; // the window manager's home, configuration and sockets
    std::string displayName_;
    std::unique_ptr<GameProcess> server_;
    std::unique_ptr<GameProcess> manager_;
    std::unique_ptr<XDisplay> display_;
};
