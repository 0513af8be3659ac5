#include "live.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <vector>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void sleepMs(int ms) { usleep(static_cast<useconds_t>(ms) * 1000); }

void silence()
{
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
}

// Ends a process we started: asked first, then told.
void stop(pid_t pid)
{
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        sleepMs(20);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// ---- The private X server -----------------------------------------------------------------------

struct Server {
    pid_t pid = -1;
    std::string display;   // ":N", empty when it did not start
};

// Xvfb picks a free display itself and writes its number to the pipe once it accepts clients.
Server startServer()
{
    Server server;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return server;
    server.pid = fork();
    if (server.pid == 0) {
        close(pipeFds[0]);
        silence();
        std::string fd = std::to_string(pipeFds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", "-br", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string number;
    struct pollfd ready = {pipeFds[0], POLLIN, 0};
    char c;
    while (poll(&ready, 1, 10000) > 0 && read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
    close(pipeFds[0]);
    if (!number.empty()) server.display = ":" + number;
    return server;
}

int ignoreXError(Display*, XErrorEvent*) { return 0; }

// The game's window once it shows (viewable and more than a point), or 0.
Window shownWindow(Display* x)
{
    Window root, parent, *children = nullptr, found = 0;
    unsigned count = 0;
    if (!XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(x, children[i], &a) && a.map_state == IsViewable && a.width > 1 &&
            a.height > 1)
            found = children[i];
    }
    if (children) XFree(children);
    return found;
}

// What the window shows: whether any pixel is not black, a digest to tell pictures apart, and
// the pixels themselves (rows of `stride` bytes) when asked for.
struct Look {
    bool grabbed = false, lit = false;
    unsigned long long digest = 0;
    int stride = 0, rows = 0, pixelBytes = 0;
    std::vector<unsigned char> pixels;
};

Look look(Display* x, Window window, bool keepPixels = false)
{
    Look seen;
    XWindowAttributes a;
    if (!XGetWindowAttributes(x, window, &a)) return seen;
    XImage* image = XGetImage(x, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!image) return seen;
    seen.grabbed = true;
    unsigned long colours = image->red_mask | image->green_mask | image->blue_mask;
    unsigned long long digest = 1469598103934665603ull;
    seen.pixelBytes = image->bits_per_pixel / 8;
    seen.stride = image->width * seen.pixelBytes;
    seen.rows = image->height;
    for (int y = 0; y < image->height; ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(image->data + y * image->bytes_per_line);
        for (int i = 0; i < seen.stride; ++i)
            digest = (digest ^ row[i]) * 1099511628211ull;
        if (keepPixels) seen.pixels.insert(seen.pixels.end(), row, row + seen.stride);
        if (!seen.lit && image->bits_per_pixel == 32)
            for (int px = 0; px < image->width && !seen.lit; ++px) {
                std::uint32_t pixel;
                std::memcpy(&pixel, row + px * 4, 4);
                seen.lit = (pixel & colours) != 0;
            }
    }
    seen.digest = digest;
    XDestroyImage(image);
    return seen;
}

// Whether two pictures differ at most within a box of `most` by `most` pixels: a page that
// waits may animate a small mark (the click-wait marker) and still stand still.
bool nearlySame(const Look& a, const Look& b, int most)
{
    if (a.digest == b.digest) return true;
    if (a.stride != b.stride || a.rows != b.rows || a.pixels.size() != b.pixels.size() || !a.pixelBytes)
        return false;
    int left = a.stride, right = -1, top = a.rows, bottom = -1;
    for (int y = 0; y < a.rows; ++y)
        for (int i = 0; i < a.stride; ++i)
            if (a.pixels[size_t(y) * a.stride + i] != b.pixels[size_t(y) * a.stride + i]) {
                int px = i / a.pixelBytes;
                left = std::min(left, px), right = std::max(right, px);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    return right < 0 || (right - left < most && bottom - top < most);
}

// ---- The game's process ---------------------------------------------------------------------------

pid_t launch(const std::string& program, const std::string& dir, const std::string& display)
{
    pid_t child = fork();
    if (child == 0) {
        silence();
        if (chdir(dir.c_str()) != 0) _exit(127);
        setenv("DISPLAY", display.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL_VIDEODRIVER");
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

bool running(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == 0; }

// Processor time (user and system, all threads) in milliseconds.
double cpuMs(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t name = text.rfind(')');
    unsigned long user = 0, system = 0;
    // After the name: state, ppid, pgrp, session, tty, tpgid, flags, four fault counts, then
    // the user and system time in clock ticks.
    if (name == std::string::npos ||
        std::sscanf(text.c_str() + name + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu",
                    &user, &system) != 2)
        return 0;
    return (user + system) * 1000.0 / sysconf(_SC_CLK_TCK);
}

double peakMiB(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024;
    return 0;
}

// The share of one core the game keeps busy over `ms` of wall time.
double busyPercent(pid_t pid, int ms)
{
    double cpu = cpuMs(pid);
    auto start = Clock::now();
    sleepMs(ms);
    return 100 * (cpuMs(pid) - cpu) / msSince(start);
}

struct FirstFrame {
    Window window = 0;
    double ms = -1, cpuMs = 0;
};

// Watches the launch until the window shows a picture that is not black: the first title frame.
FirstFrame firstFrame(Display* x, pid_t pid, Clock::time_point launched)
{
    FirstFrame frame;
    while (msSince(launched) < 30000 && running(pid)) {
        if (!frame.window) frame.window = shownWindow(x);
        if (frame.window && look(x, frame.window).lit) {
            frame.ms = msSince(launched);
            frame.cpuMs = cpuMs(pid);
            break;
        }
        usleep(frame.window ? 2000 : 1000);
    }
    return frame;
}

// Waits until the window's picture has stayed the same for `stillMs` (but for a small
// animated mark); false after `limitMs`.
bool settles(Display* x, Window window, int stillMs, int limitMs)
{
    auto start = Clock::now(), since = start;
    Look last;
    while (msSince(start) < limitMs) {
        Look now = look(x, window, true);
        if (!now.grabbed) return false;
        if (!nearlySame(now, last, 32)) {
            last = std::move(now);
            since = Clock::now();
        } else if (msSince(since) >= stillMs) {
            return true;
        }
        sleepMs(50);
    }
    return false;
}

// A left click at (x, y) of the window, as a player's, through the X server.
bool click(const std::string& display, Window window, int x, int y)
{
    pid_t child = fork();
    if (child == 0) {
        silence();
        setenv("DISPLAY", display.c_str(), 1);
        std::string id = std::to_string(window), sx = std::to_string(x), sy = std::to_string(y);
        execlp("xdotool", "xdotool", "mousemove", "--window", id.c_str(), sx.c_str(), sy.c_str(),
               "sleep", "0.1", "click", "1", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void waitUntilNoWindow(Display* x)
{
    for (int i = 0; i < 200 && shownWindow(x); ++i) sleepMs(5);
}

// The figures on a running X server, the game copied to `dir`.
LiveFigures measureOn(Display* x, const std::string& display, const std::string& program,
                      const std::string& dir, int launches)
{
    LiveFigures figures;
    std::ifstream("/proc/loadavg") >> figures.loadAverage;
    for (int i = 0; i < launches; ++i) {
        waitUntilNoWindow(x);
        auto launched = Clock::now();
        pid_t pid = launch(program, dir, display);
        FirstFrame frame = firstFrame(x, pid, launched);
        stop(pid);
        if (frame.ms < 0) {
            figures.error = "the game showed no picture";
            return figures;
        }
        if (i == 0 || frame.ms < figures.firstFrameMs) {
            figures.firstFrameMs = frame.ms;
            figures.firstFrameCpuMs = frame.cpuMs;
        }
    }

    waitUntilNoWindow(x);
    auto launched = Clock::now();
    pid_t pid = launch(program, dir, display);
    FirstFrame frame = firstFrame(x, pid, launched);
    if (frame.ms < 0) {
        stop(pid);
        figures.error = "the game showed no picture";
        return figures;
    }
    sleepMs(1000);
    figures.titleCpuPercent = busyPercent(pid, 3000);
    figures.titlePeakMiB = peakMiB(pid);
    // The title's first button starts a new game; its opening scene ends on a page that waits.
    if (!click(display, frame.window, 410, 372)) {
        stop(pid);
        figures.error = "xdotool could not click (is it installed?)";
        return figures;
    }
    bool waiting = settles(x, frame.window, 1500, 30000);
    if (waiting) figures.pageCpuPercent = busyPercent(pid, 3000);
    stop(pid);
    figures.ok = waiting;
    if (!waiting) figures.error = "the first page never stood still";
    return figures;
}

}  // namespace

LiveFigures measureLive(const std::string& program, const std::string& gameDir, int launches)
{
    LiveFigures figures;
    char folder[] = "/tmp/tessarc-live-XXXXXX";
    if (!mkdtemp(folder)) {
        figures.error = "no temporary folder";
        return figures;
    }
    // A copy, so that the live game's saves never land in the source tree.
    std::error_code failed;
    std::filesystem::copy(gameDir, folder, std::filesystem::copy_options::recursive, failed);
    Server server = startServer();
    if (server.display.empty()) {
        figures.error = "Xvfb did not start (is it installed?)";
    } else if (Display* x = XOpenDisplay(server.display.c_str())) {
        XSetErrorHandler(ignoreXError);
        figures = measureOn(x, server.display, program, folder, launches);
        XCloseDisplay(x);
    } else {
        figures.error = "cannot reach Xvfb";
    }
    stop(server.pid);
    std::filesystem::remove_all(folder, failed);
    return figures;
}
