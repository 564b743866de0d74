#include "desktop/ProcessSetUp.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>

// A launcher may start the game with any standard descriptor closed: each then holds /dev/null.
TEST(ProcessSetUp, ClosedStandardDescriptorsAreFilledWithTheNullDevice) {
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        close(STDIN_FILENO);
        close(STDERR_FILENO);
        prepareProcess();
        int filled = 0;
        for (const char* fd : {"/proc/self/fd/0", "/proc/self/fd/2"}) {
            char target[PATH_MAX] = {};
            filled += readlink(fd, target, sizeof target - 1) > 0 &&
                      std::strcmp(target, "/dev/null") == 0;
        }
        _exit(filled == 2 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
