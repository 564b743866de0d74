#include "files/DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::FILE* openDataFile(const char* path) {
    if (path == nullptr) {
        return nullptr;
    }
    // Without O_NONBLOCK, opening a FIFO waits for a writer that never comes; the flag changes
    // nothing for a regular file.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return nullptr;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0 ||
        static_cast<std::uint64_t>(status.st_size) > kMaxDataFileBytes) {
        close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        close(fd);
    }
    return file;
}

bool readDataFile(const char* path, std::vector<unsigned char>& contents) {
    contents.clear();
    std::FILE* file = openDataFile(path);
    if (file == nullptr) {
        return false;
    }
    // Read to the end rather than to the size seen at opening: a file may change meanwhile, and
    // it is never read past the cap.
    constexpr std::size_t kBlock = 64 * 1024;
    bool ok = true;
    for (;;) {
        const std::size_t used = contents.size();
        if (used > kMaxDataFileBytes) {
            ok = false;
            break;
        }
        contents.resize(used + kBlock);
        const std::size_t got = std::fread(contents.data() + used, 1, kBlock, file);
        contents.resize(used + got);
        if (got < kBlock) {
            ok = std::ferror(file) == 0;
            break;
        }
    }
    std::fclose(file);
    if (!ok) {
        contents.clear();
    }
    return ok;
}
