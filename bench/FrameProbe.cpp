// Measures a running program's frames from inside it, without changing it: loaded into it with
// LD_PRELOAD (startup_probe --preload), it stands in front of glXSwapBuffers, and after every
// 100 buffer swaps writes to standard error what a frame cost on average since the last report:
// the clock, the processor time of the whole process (every thread, the GL driver's included)
// and the minor page faults. The benchmarks measure frames in a process of their own; this
// measures the game's own frames, with the heap, threads and history of a real run.
// With FRAME_PROBE_COUNTER naming a file of at least eight bytes, it keeps the number of swaps
// so far at the file's start instead, where a probe outside reads it while the program runs
// (startup_probe --power counts the frames of each state of the window so).

#include <GL/glx.h>
#include <dlfcn.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr long kFramesPerReport = 100;

double seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

struct Mark {
    double clock = 0.0;
    double processor = 0.0;
    long faults = 0;
};

Mark now() {
    return {seconds(CLOCK_MONOTONIC), seconds(CLOCK_PROCESS_CPUTIME_ID), minorFaults()};
}

using SwapBuffers = void (*)(Display*, GLXDrawable);

long frames = 0;
Mark last;

using SharedCount = std::atomic<std::uint64_t>;
static_assert(SharedCount::is_always_lock_free, "the count is shared with another process");

// The count in the file FRAME_PROBE_COUNTER names, mapped once; null without one.
SharedCount* sharedCount() {
    static SharedCount* const count = []() -> SharedCount* {
        const char* path = std::getenv("FRAME_PROBE_COUNTER");
        const int file = path != nullptr ? open(path, O_RDWR) : -1;
        if (file < 0) {
            return nullptr;
        }
        void* shared =
            mmap(nullptr, sizeof(SharedCount), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
        close(file);
        // The probe that made the file has put the count there.
        return shared == MAP_FAILED ? nullptr : static_cast<SharedCount*>(shared);
    }();
    return count;
}

} // namespace

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static const auto next = reinterpret_cast<SwapBuffers>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    next(display, drawable);
    ++frames;
    if (SharedCount* count = sharedCount()) {
        count->store(static_cast<std::uint64_t>(frames), std::memory_order_relaxed);
        return;
    }
    if (frames == 1) {
        last = now();
    } else if ((frames - 1) % kFramesPerReport == 0) {
        const Mark mark = now();
        const double n = kFramesPerReport;
        std::fprintf(stderr,
                     "frame_probe %s: frames %ld-%ld: %.2f ms, %.2f ms processor time, %.1f "
                     "minor faults a frame\n",
                     program_invocation_name, frames - kFramesPerReport, frames - 1,
                     1e3 * (mark.clock - last.clock) / n,
                     1e3 * (mark.processor - last.processor) / n,
                     static_cast<double>(mark.faults - last.faults) / n);
        last = mark;
    }
}
