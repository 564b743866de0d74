// Measures programs from the outside, on the X display they run on: how long from starting one
// until its first frame is on the screen, and how much memory it holds once it has settled.
// Nothing in the measured programs knows about it.
//
// Usage: startup_probe [--runs N] [--clicks K] [--settle SECONDS] [--preload LIB] [-C DIR]
//        [-e NAME=VALUE] PROGRAM...
//        startup_probe --power SECONDS [--manager WM] [--runs N] [--preload LIB] [-C DIR]
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
//
// --power measures what the game costs in each state of its window instead: the share of a
// processor it takes (every thread; one processor busy is 100%) and the frames a second it draws,
// each over SECONDS, on the title and the untouched play screen, minimised, wholly covered by
// another window, and minimised as a Wayland desktop does it through Xwayland (the window stays
// mapped, and only its state says so), and how long it takes to draw again once shown. --manager
// starts a window manager on the display first (it minimises and restores the window, as a task bar
// asks it to). The frames are the buffer swaps that the frame probe counts inside the program
// (--preload frame_probe.so); without it they are left out.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <new>
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
    double powerSeconds = 0.0; // above 0: the power mode, each state measured this long
    std::string manager;       // a window manager to start first
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
            // Programs may start in another folder (-C).
            options.preload = std::filesystem::absolute(argv[++i]).string();
        } else if (arg == "--power" && hasValue) {
            options.powerSeconds = std::atof(argv[++i]);
        } else if (arg == "--manager" && hasValue) {
            options.manager = argv[++i];
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

// Starts a program; with a swap count's file, the frame probe inside it counts its swaps there.
pid_t start(const Program& program, const std::string& preload,
            const std::string& swapCountFile = "") {
    const pid_t pid = fork();
    if (pid == 0) {
        if (!preload.empty()) {
            setenv("LD_PRELOAD", preload.c_str(), 1);
        }
        if (!swapCountFile.empty()) {
            setenv("FRAME_PROBE_COUNTER", swapCountFile.c_str(), 1);
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

int reportStartup(Display* display, const Options& options) {
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
    return 0;
}

// The power mode.

// The states of the window that --power measures, in the order it puts the window in them.
enum PowerState { kTitle, kPlay, kMinimised, kCovered, kMinimisedMapped, kStateCount };
constexpr const char* kStateNames[kStateCount] = {"title, shown", "play, shown, untouched",
                                                  "minimised", "covered", "minimised, kept mapped"};
// Time for the program to take in a change of its window before a state is measured.
constexpr auto kPowerSettle = std::chrono::seconds(2);

struct PowerSample {
    std::array<double, kStateCount> cpuPercent{-1.0, -1.0, -1.0, -1.0, -1.0};
    std::array<double, kStateCount> framesPerSecond{-1.0, -1.0, -1.0, -1.0, -1.0};
    // From asking for the window to be shown again until the program's next frame.
    std::array<double, kStateCount> backMs{-1.0, -1.0, -1.0, -1.0, -1.0};
};

// The file through which the frame probe inside a program reports its swaps: a count in shared
// memory, which the probe reads without disturbing the program.
class SwapCount {
  public:
    using Shared = std::atomic<std::uint64_t>;

    SwapCount() {
        char pattern[] = "/tmp/startup-probe-swaps-XXXXXX";
        const int file = mkstemp(pattern);
        if (file < 0) {
            return;
        }
        path_ = pattern;
        void* shared =
            ftruncate(file, sizeof(Shared)) == 0
                ? mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0)
                : MAP_FAILED;
        close(file);
        count_ = shared == MAP_FAILED ? nullptr : new (shared) Shared(0);
    }
    ~SwapCount() {
        if (count_ != nullptr) {
            munmap(count_, sizeof(Shared));
        }
        if (!path_.empty()) {
            unlink(path_.c_str());
        }
    }
    SwapCount(const SwapCount&) = delete;
    SwapCount& operator=(const SwapCount&) = delete;

    const std::string& path() const { return path_; }
    std::uint64_t swaps() const {
        return count_ != nullptr ? count_->load(std::memory_order_relaxed) : 0;
    }

  private:
    std::string path_;
    Shared* count_ = nullptr;
};

Atom atom(Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

bool hasProperty(Display* display, Window window, const char* name) {
    int propertyCount = 0;
    Atom* properties = XListProperties(display, window, &propertyCount);
    const Atom wanted = atom(display, name);
    const bool found =
        std::find(properties, properties + propertyCount, wanted) != properties + propertyCount;
    if (properties != nullptr) {
        XFree(properties);
    }
    return found;
}

// The program's own window in a window that was mapped on the root: under a window manager that
// is the frame, and the program's window the one inside it that the manager has given a
// WM_STATE; without a manager, the window itself. 0 when there is none (a manager's own window).
Window clientWindow(Display* display, Window window, bool managed) {
    if (!managed || hasProperty(display, window, "WM_STATE")) {
        return window;
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window client = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && client == 0; ++i) {
            client = clientWindow(display, children[i], managed);
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    return client;
}

bool viewable(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Starts the window manager, with its caches and settings in a folder of its own, and waits until
// it has taken over the screen (its check window on the root). -1 when it does not.
pid_t startManager(Display* display, const std::string& manager, const std::string& home) {
    const pid_t pid = fork();
    if (pid == 0) {
        for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
            setenv(variable, home.c_str(), 1);
        }
        unsetenv("SESSION_MANAGER");
        const int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        execlp(manager.c_str(), manager.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    while (pid > 0 && Clock::now() < deadline) {
        if (hasProperty(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK")) {
            return pid;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

// Processor share and frames a second over the given time.
void measureState(pid_t pid, const SwapCount& count, double seconds, PowerSample& sample,
                  PowerState state) {
    const double cpuBefore = processorMilliseconds(pid);
    const std::uint64_t swapsBefore = count.swaps();
    const Clock::time_point started = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double wallMs = millisecondsSince(started);
    sample.cpuPercent[state] = 100.0 * (processorMilliseconds(pid) - cpuBefore) / wallMs;
    sample.framesPerSecond[state] =
        count.path().empty() ? -1.0
                             : 1e3 * static_cast<double>(count.swaps() - swapsBefore) / wallMs;
}

// Milliseconds until the program swaps again after show() asks for its window back.
template <typename Show> double timeBack(const SwapCount& count, Show show) {
    const std::uint64_t before = count.swaps();
    const Clock::time_point asked = Clock::now();
    show();
    while (millisecondsSince(asked) < 10e3) {
        if (count.swaps() != before) {
            return millisecondsSince(asked);
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return -1.0;
}

// Asks the window manager to show and raise the window, as a pager or task bar does.
void activate(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = atom(display, "_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // the request comes from a pager
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
}

// A window over the whole screen, above every other; no window manager frames or moves it.
Window coverScreen(Display* display) {
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display, screen);
    const Window cover =
        XCreateWindow(display, DefaultRootWindow(display), 0, 0,
                      static_cast<unsigned>(DisplayWidth(display, screen)),
                      static_cast<unsigned>(DisplayHeight(display, screen)), 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display, cover);
    XSync(display, False);
    return cover;
}

// Says on the window that it is minimised, or no longer, as a Wayland desktop's manager does
// through Xwayland while it keeps the window mapped (WM_STATE and _NET_WM_STATE_HIDDEN); other
// states the window had stay as they were.
void setMinimisedState(Display* display, Window window, bool minimised) {
    const Atom wmState = atom(display, "WM_STATE");
    const long state[] = {minimised ? IconicState : NormalState, None};
    XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(state), 2);
    const Atom netState = atom(display, "_NET_WM_STATE");
    const long hidden = static_cast<long>(atom(display, "_NET_WM_STATE_HIDDEN"));
    std::vector<long> states;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netState, 0, 64, False, XA_ATOM, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        const long* atoms = reinterpret_cast<const long*>(data);
        states.assign(atoms, atoms + (format == 32 ? count : 0));
        XFree(data);
    }
    states.erase(std::remove(states.begin(), states.end(), hidden), states.end());
    if (minimised) {
        states.push_back(hidden);
    }
    XChangeProperty(display, window, netState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(states.data()),
                    static_cast<int>(states.size()));
    XFlush(display);
}

bool waitUntilHidden(Display* display, Window window) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    while (viewable(display, window)) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

PowerSample measurePower(Display* display, const Options& options, const Program& program) {
    PowerSample sample;
    const SwapCount count;
    XSync(display, True);
    const pid_t pid = start(program, options.preload, options.preload.empty() ? "" : count.path());
    if (pid < 0) {
        return sample;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
    const bool managed = !options.manager.empty();
    Window client = 0;
    while (client == 0 && Clock::now() < deadline) {
        const Window mapped = waitForMappedWindow(display, deadline);
        client = mapped != 0 ? clientWindow(display, mapped, managed) : 0;
    }
    const auto settle = [] { std::this_thread::sleep_for(kPowerSettle); };
    const double seconds = options.powerSeconds;
    if (client != 0) {
        settle();
        measureState(pid, count, seconds, sample, kTitle);

        for (int i = 0; i < 2; ++i) {
            clickCentre(display, client);
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
        // Untouched: the pointer rests in the corner, where no gem lies.
        XWindowAttributes attributes;
        XGetWindowAttributes(display, client, &attributes);
        XWarpPointer(display, None, client, 0, 0, 0, 0, attributes.width - 4,
                     attributes.height - 4);
        XSync(display, False);
        settle();
        measureState(pid, count, seconds, sample, kPlay);

        // Minimised as a task bar asks for it (ICCCM's WM_CHANGE_STATE).
        XIconifyWindow(display, client, DefaultScreen(display));
        XSync(display, False);
        if (waitUntilHidden(display, client)) {
            settle();
            measureState(pid, count, seconds, sample, kMinimised);
            sample.backMs[kMinimised] = timeBack(count, [&] { activate(display, client); });
        }
        settle();

        const Window cover = coverScreen(display);
        settle();
        measureState(pid, count, seconds, sample, kCovered);
        sample.backMs[kCovered] = timeBack(count, [&] {
            XDestroyWindow(display, cover);
            XFlush(display);
        });
        settle();

        setMinimisedState(display, client, true);
        settle();
        measureState(pid, count, seconds, sample, kMinimisedMapped);
        sample.backMs[kMinimisedMapped] =
            timeBack(count, [&] { setMinimisedState(display, client, false); });
    }
    stop(display, pid);
    return sample;
}

int reportPower(Display* display, const Options& options) {
    char folder[] = "/tmp/startup-probe-manager-XXXXXX";
    pid_t manager = -1;
    if (!options.manager.empty()) {
        manager = mkdtemp(folder) != nullptr ? startManager(display, options.manager, folder) : -1;
        if (manager < 0) {
            std::fprintf(stderr, "startup_probe: %s did not take over the screen\n",
                         options.manager.c_str());
            return 1;
        }
    }
    const std::size_t count = options.programs.size();
    const std::vector<std::string> names = labels(options.programs);
    std::printf("load average at the start: %s\n", loadAverage().c_str());
    std::vector<std::array<std::vector<double>, kStateCount>> cpu(count), fps(count), back(count);
    for (int run = 0; run < options.runs; ++run) {
        for (std::size_t p = 0; p < count; ++p) {
            const PowerSample sample = measurePower(display, options, options.programs[p]);
            std::printf("run %2d  %s\n", run + 1, names[p].c_str());
            for (int s = 0; s < kStateCount; ++s) {
                std::printf("  %-24s %7.2f%% of a processor  %7.1f frames a second", kStateNames[s],
                            sample.cpuPercent[s], sample.framesPerSecond[s]);
                if (sample.backMs[s] >= 0.0) {
                    std::printf("  (drawing again %.0f ms after shown)", sample.backMs[s]);
                }
                std::printf("\n");
                if (sample.cpuPercent[s] >= 0.0) {
                    cpu[p][s].push_back(sample.cpuPercent[s]);
                    fps[p][s].push_back(sample.framesPerSecond[s]);
                }
                if (sample.backMs[s] >= 0.0) {
                    back[p][s].push_back(sample.backMs[s]);
                }
            }
            std::fflush(stdout);
        }
    }
    std::printf("load average at the end: %s\n", loadAverage().c_str());
    std::printf("\nmedians, %.0f s a state (one processor busy = 100%%)\n", options.powerSeconds);
    for (std::size_t p = 0; p < count; ++p) {
        std::printf("%s\n", names[p].c_str());
        for (int s = 0; s < kStateCount; ++s) {
            std::printf("  %-24s %7.2f%%  %7.1f frames a second", kStateNames[s], median(cpu[p][s]),
                        median(fps[p][s]));
            if (!back[p][s].empty()) {
                std::printf("  drawing again after %.0f ms", median(back[p][s]));
            }
            std::printf("\n");
        }
    }
    if (manager > 0) {
        kill(manager, SIGTERM);
        waitpid(manager, nullptr, 0);
        std::filesystem::remove_all(folder);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: startup_probe [--runs N] [--clicks K] [--settle SECONDS] "
                             "[--preload LIB] [-C DIR] [-e NAME=VALUE] PROGRAM...\n"
                             "       startup_probe --power SECONDS [--manager WM] [--runs N] "
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

    const int status = options.powerSeconds > 0.0 ? reportPower(display, options)
                                                  : reportStartup(display, options);
    XCloseDisplay(display);
    return status;
}
