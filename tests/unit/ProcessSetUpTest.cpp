#include "desktop/ProcessSetUp.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <string>

// A launcher may start the game with a standard descriptor closed: it then holds /dev/null.
TEST(ProcessSetUp, ClosedStandardDescriptorsAreFilledWithTheNullDevice) {
    const pid_t child = fork();
    if (child == 0) {
        close(STDIN_FILENO);
        close(STDERR_FILENO);
        prepareProcess();
        char in[PATH_MAX] = {}, error[PATH_MAX] = {};
        const bool read = readlink("/proc/self/fd/0", in, sizeof in - 1) > 0 &&
                          readlink("/proc/self/fd/2", error, sizeof error - 1) > 0;
        _exit(read && std::string(in) == "/dev/null" && std::string(error) == "/dev/null" ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
}
