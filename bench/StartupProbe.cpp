// Measures programs from the outside, on the X display they run on: how long from starting one
// until its first frame is on the screen, and how much memory it holds once it has settled.
// Nothing in the measured programs knows about it.
//
// Usage: startup_probe [--runs N] [--clicks K] [--settle SECONDS] [--preload LIB] [-C DIR]
//        [-e NAME=VALUE] PROGRAM...
//
// The programs are started in turn, run after run (so a burst of load elsewhere on the machine
// falls on all of them alike), each with its standard output discarded, from the current folder
// or from the one named by the last -C before it (so two builds can run on their own data), with
// the variables set by every -e before it (GDK_SCALE=2: the same game on a desktop scaled 200%).
// A program's first frame counts as shown when at least 90% of a grid of points across its first
// window are no longer black: the probe paints the root window black, so that a window that has
// not drawn yet shows black there. Alongside the time, the processor time that all of the
// program's threads had used by then, those that have already ended included, is read, which load
// elsewhere disturbs much less. With --settle, the probe then clicks K times in the middle of the
// window (half a second apart; two clicks take the game from its title to the play screen), waits
// the given seconds and reads VmRSS, VmHWM and RssAnon from /proc/PID/status. Each program is ended
// with SIGTERM after its run (and SIGKILL if that is not enough). --preload starts every program
// with LIB in LD_PRELOAD (the frame probe, whose reports on the programs' frames then appear on
// standard error). Medians are reported, and every figure against the first program.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// How often the window is looked at: often enough for the figures, seldom enough that the probe
// takes little from the program it times, on the same processors and X server.
constexpr auto kPollInterval = std::chrono::milliseconds(2);

struct Program {
    std::string path;
    std::string folder;                   // empty: the probe's own
    std::vector<std::string> environment; // NAME=VALUE
};

struct Options {
    int runs = 11;
    int clicks = 0;
    double settleSeconds = 0.0;
    std::string preload;
    std::vector<Program> programs;
};

struct Sample {
    double startupMs = -1.0; // below 0 when no frame was seen in time
    double cpuMs = -1.0;     // processor time of the program, every thread, until then
    long rssKiB = -1;
    long hwmKiB = -1;
    long anonKiB = -1; // the part of VmRSS that is the program's own memory, not mapped files
};

// Windows vanish while they are polled; such errors are expected and harmless here.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool parse(int argc, char** argv, Options& options) {
    std::string folder;
    std::vector<std::string> environment;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--runs" && hasValue) {
            options.runs = std::atoi(argv[++i]);
        } else if (arg == "--clicks" && hasValue) {
            options.clicks = std::atoi(argv[++i]);
        } else if (arg == "--settle" && hasValue) {
            options.settleSeconds = std::atof(argv[++i]);
        } else if (arg == "--preload" && hasValue) {
            options.preload = argv[++i];
        } else if (arg == "-C" && hasValue) {
            folder = argv[++i];
        } else if (arg == "-e" && hasValue && std::strchr(argv[i + 1], '=') != nullptr) {
            environment.push_back(argv[++i]);
        } else if (!arg.empty() && arg[0] == '-') {
            return false;
        } else {
            options.programs.push_back({arg, folder, environment});
        }
    }
    return options.runs > 0 && !options.programs.empty();
}

// Waits for events on the display's connection until the deadline; true when some arrived.
bool waitForEvents(Display* display, Clock::time_point deadline) {
    if (XPending(display) > 0) {
        return true;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
        return false;
    }
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(std::min<long long>(left.count(), 50)));
    return XPending(display) > 0;
}

// The first window that a child of the root maps from now on.
Window waitForMappedWindow(Display* display, Clock::time_point deadline) {
    while (Clock::now() < deadline) {
        if (!waitForEvents(display, deadline)) {
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(display)) {
            return event.xmap.window;
        }
    }
    return 0;
}

bool isBlack(unsigned long pixel, const Visual* visual) {
    return (pixel & (visual->red_mask | visual->green_mask | visual->blue_mask)) == 0;
}

// The window's size and pixel layout, read once it is mapped: polling must stay cheap, since the
// probe shares the processors and the X server with the program it is timing.
struct Geometry {
    int width = 0;
    int height = 0;
    const Visual* visual = nullptr;
};

Geometry geometryOf(Display* display, Window window) {
    Geometry geometry;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes)) {
        geometry.width = attributes.width;
        geometry.height = attributes.height;
        geometry.visual = attributes.visual;
    }
    return geometry;
}

constexpr int kGridColumns = 8;
constexpr int kGridRows = 6;

// How many of the grid's points on row j (0 at the top) are not black; -1 when the row cannot be
// read (the window is not viewable yet).
int litPointsOnRow(Display* display, Window window, const Geometry& geometry, int j) {
    const int y = (2 * j + 1) * geometry.height / (2 * kGridRows);
    XImage* row = XGetImage(display, window, 0, y, static_cast<unsigned>(geometry.width), 1,
                            AllPlanes, ZPixmap);
    if (row == nullptr) {
        return -1;
    }
    int lit = 0;
    for (int i = 0; i < kGridColumns; ++i) {
        const int x = (2 * i + 1) * geometry.width / (2 * kGridColumns);
        if (!isBlack(XGetPixel(row, x, 0), geometry.visual)) {
            ++lit;
        }
    }
    XDestroyImage(row);
    return lit;
}

// True when the window shows a frame: 90% of an 8 x 6 grid of points are not black. A poll reads
// one row of the grid, one small round trip to the server, and the other five rows only once that
// row is lit.
bool showsFrame(Display* display, Window window, const Geometry& geometry) {
    if (geometry.width < kGridColumns || geometry.height < kGridRows) {
        return false;
    }
    const int middle = kGridRows / 2;
    int lit = litPointsOnRow(display, window, geometry, middle);
    if (lit < kGridColumns * 9 / 10) {
        return false;
    }
    for (int j = 0; j < kGridRows; ++j) {
        if (j == middle) {
            continue;
        }
        const int row = litPointsOnRow(display, window, geometry, j);
        if (row < 0) {
            return false;
        }
        lit += row;
    }
    return lit * 10 >= kGridColumns * kGridRows * 9;
}

void clickCentre(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return;
    }
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), attributes.width / 2,
                          attributes.height / 2, &x, &y, &child);
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

// Time on the processor of the whole process so far, every thread it has had included, from the
// scheduler's own count in nanoseconds: a figure that load elsewhere on the machine disturbs far
// less than the clock. It is the process's own CPU clock, not a sum over /proc/PID/task, because
// a thread that has ended is gone from that list while its time still belongs to the start-up
// (the game's picture-decoding worker, for one, is joined before the first frame). The clock is
// read while the process is alive: it is our child and not yet reaped.
double processorMilliseconds(pid_t pid) {
    clockid_t clock = 0;
    timespec used{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &used) != 0) {
        return -1.0;
    }
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

// VmRSS, VmHWM and RssAnon of a running process, in KiB.
void readMemory(pid_t pid, Sample& sample) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            sample.rssKiB = std::atol(line.c_str() + 6);
        } else if (line.rfind("VmHWM:", 0) == 0) {
            sample.hwmKiB = std::atol(line.c_str() + 6);
        } else if (line.rfind("RssAnon:", 0) == 0) {
            sample.anonKiB = std::atol(line.c_str() + 8);
        }
    }
}

pid_t start(const Program& program, const std::string& preload) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (!preload.empty()) {
            setenv("LD_PRELOAD", preload.c_str(), 1);
        }
        for (const std::string& variable : program.environment) {
            const std::size_t equals = variable.find('=');
            setenv(variable.substr(0, equals).c_str(), variable.c_str() + equals + 1, 1);
        }
        if (!program.folder.empty() && chdir(program.folder.c_str()) != 0) {
            std::perror(program.folder.c_str());
            _exit(127);
        }
        const int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            dup2(devNull, STDOUT_FILENO);
        }
        execl(program.path.c_str(), program.path.c_str(), static_cast<char*>(nullptr));
        std::perror(program.path.c_str());
        _exit(127);
    }
    return pid;
}

void stop(Display* display, pid_t pid) {
    // Once the sound library has a device it turns SIGTERM into a quit event that nobody reads,
    // so a program that is still there after a second is killed.
    kill(pid, SIGTERM);
    int status = 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(1);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Let the server tidy up after the window before the next program starts.
    XSync(display, True);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    XSync(display, True);
}

Sample measure(Display* display, const Options& options, const Program& program) {
    Sample sample;
    XSync(display, True); // start from an empty event queue
    const Clock::time_point started = Clock::now();
    const pid_t pid = start(program, options.preload);
    if (pid < 0) {
        return sample;
    }
    const Clock::time_point deadline = started + std::chrono::seconds(20);
    const Window window = waitForMappedWindow(display, deadline);
    const Geometry geometry = geometryOf(display, window);
    while (window != 0 && Clock::now() < deadline) {
        if (showsFrame(display, window, geometry)) {
            sample.startupMs = millisecondsSince(started);
            sample.cpuMs = processorMilliseconds(pid);
            break;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    if (sample.startupMs >= 0.0 && options.settleSeconds > 0.0) {
        for (int i = 0; i < options.clicks; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            clickCentre(display, window);
        }
        std::this_thread::sleep_for(std::chrono::duration<double>(options.settleSeconds));
        readMemory(pid, sample);
    }
    stop(display, pid);
    return sample;
}

// The first line of /proc/loadavg: the machine's load over the last 1, 5 and 15 minutes.
std::string loadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string line;
    std::getline(file, line);
    return line;
}

template <typename T> double median(std::vector<T> values) {
    if (values.empty()) {
        return -1.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? static_cast<double>(values[n / 2])
                      : (static_cast<double>(values[n / 2 - 1]) + values[n / 2]) / 2.0;
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Each program's file name, followed by its place on the command line where two share a name
// (two builds of the game).
std::vector<std::string> labels(const std::vector<Program>& programs) {
    std::vector<std::string> result;
    for (std::size_t p = 0; p < programs.size(); ++p) {
        const std::string name = baseName(programs[p].path);
        const bool shared =
            std::count_if(programs.begin(), programs.end(), [&name](const Program& other) {
                return baseName(other.path) == name;
            }) > 1;
        result.push_back(shared ? name + "#" + std::to_string(p + 1) : name);
    }
    return result;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: startup_probe [--runs N] [--clicks K] [--settle SECONDS] "
                             "[--preload LIB] [-C DIR] [-e NAME=VALUE] PROGRAM...\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "startup_probe: cannot open the X display\n");
        return 1;
    }
    XSetErrorHandler(ignoreXError);
    const Window root = DefaultRootWindow(display);
    XSetWindowBackground(display, root, BlackPixel(display, DefaultScreen(display)));
    XClearWindow(display, root);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True);

    const std::size_t count = options.programs.size();
    const std::vector<std::string> names = labels(options.programs);
    std::printf("load average at the start: %s\n", loadAverage().c_str());
    std::vector<std::vector<double>> startups(count);
    std::vector<std::vector<double>> cpu(count);
    std::vector<std::vector<long>> rss(count);
    std::vector<std::vector<long>> hwm(count);
    std::vector<std::vector<long>> anon(count);
    for (int run = 0; run < options.runs; ++run) {
        for (std::size_t p = 0; p < count; ++p) {
            const Sample sample = measure(display, options, options.programs[p]);
            std::printf("run %2d  %-16s start-up %8.1f ms (cpu %6.1f ms)", run + 1,
                        names[p].c_str(), sample.startupMs, sample.cpuMs);
            if (sample.startupMs >= 0.0) {
                startups[p].push_back(sample.startupMs);
                cpu[p].push_back(sample.cpuMs);
            }
            if (sample.rssKiB >= 0) {
                std::printf("  VmRSS %6.1f MiB  VmHWM %6.1f MiB  RssAnon %6.1f MiB",
                            sample.rssKiB / 1024.0, sample.hwmKiB / 1024.0,
                            sample.anonKiB / 1024.0);
                rss[p].push_back(sample.rssKiB);
                hwm[p].push_back(sample.hwmKiB);
                anon[p].push_back(sample.anonKiB);
            }
            std::printf("\n");
            std::fflush(stdout);
        }
    }

    std::printf("load average at the end: %s\n", loadAverage().c_str());
    std::printf("\nmedians\n%-16s %5s %12s %12s %10s %10s %12s\n", "program", "runs", "start-up ms",
                "its cpu ms", "VmRSS MiB", "VmHWM MiB", "RssAnon MiB");
    for (std::size_t p = 0; p < count; ++p) {
        std::printf("%-16s %5zu %12.1f %12.1f", names[p].c_str(), startups[p].size(),
                    median(startups[p]), median(cpu[p]));
        if (!rss[p].empty()) {
            std::printf(" %10.1f %10.1f %12.1f", median(rss[p]) / 1024.0, median(hwm[p]) / 1024.0,
                        median(anon[p]) / 1024.0);
        }
        std::printf("\n");
    }
    for (std::size_t p = 1; p < count; ++p) {
        std::printf("%s against %s: start-up %.2f times (cpu %.2f times)", names[p].c_str(),
                    names[0].c_str(), median(startups[p]) / median(startups[0]),
                    median(cpu[p]) / median(cpu[0]));
        if (!rss[p].empty() && !rss[0].empty()) {
            std::printf(", VmRSS %+.1f MiB (RssAnon %+.1f MiB)",
                        (median(rss[p]) - median(rss[0])) / 1024.0,
                        (median(anon[p]) - median(anon[0])) / 1024.0);
        }
        std::printf("\n");
    }
    XCloseDisplay(display);
    return 0;
}
