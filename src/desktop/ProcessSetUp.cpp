#include "desktop/ProcessSetUp.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

// An address of no transport libdbus knows, so connecting to it fails at once. SDL connects to
// the session bus as it starts, and with the variable unset libdbus would launch a bus daemon of
// its own (dbus-launch) that outlives the game and writes under the home folder. The game uses
// nothing on the session bus; a bus the player's session names is left alone.
constexpr const char* kNoSessionBus = "disabled:";

// A launcher may start the game with a standard descriptor closed. The next file or connection
// opened would then take its number, and a debug line or a library's message would be written
// into it: into the X connection, a freeze. /dev/null holds the place instead.
void fillClosedStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // The lowest free number, which is fd while the ones below it are open.
        const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            dup2(opened, fd);
            close(opened);
        }
    }
}

} // namespace

void prepareProcess() {
    fillClosedStandardDescriptors();
    // Standard output may be a pipe whose reader has gone ("hexaglint | head -0"). The write then
    // fails with EPIPE, which sets std::cout's badbit so later debug lines are dropped unwritten;
    // the default action would end the game.
    signal(SIGPIPE, SIG_IGN);
    // Set while no other thread runs, so no one reads the environment meanwhile.
    setenv("DBUS_SESSION_BUS_ADDRESS", kNoSessionBus, 0);
}
