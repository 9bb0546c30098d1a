// Measures Kalvik's start-up as a user sees it on the X server: from the
// moment the process is started to the first frame that shows the year's
// curves, and, in the same run, the first frame of a copy of the program
// beside an empty year, which is the cost of starting at all.
//   startup_probe PROGRAM EMPTY_YEAR_PROGRAM [RUNS]   (inside an X server, e.g. xvfb-run)
// The screen is polled with a 1 ms sleep between looks, so that the probe
// does not compete with the program for the processor.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr double kGiveUpMs = 20000;
constexpr useconds_t kPollSleepUs = 1000;
constexpr useconds_t kBetweenRunsUs = 300000;

double nowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

struct Seen
{
    bool window = false; // the teal client area with the cream diagram
    bool curves = false; // red temperature bars
};

// The window opens at the top-left corner of a screen without a window manager.
Seen look(Display *display)
{
    constexpr int kWidth = 800, kHeight = 500;
    Seen seen;
    XImage *image =
        XGetImage(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
    if (!image)
        return seen;
    int teal = 0, cream = 0, red = 0;
    for (int y = 0; y < kHeight; y += 2) {
        for (int x = 0; x < kWidth; ++x) {
            const unsigned long p = XGetPixel(image, x, y) & 0xffffff;
            teal += p == 0x008080;
            cream += p == 0xefefde;
            red += p == 0xff0000;
        }
    }
    XDestroyImage(image);
    seen.window = teal > 5000 && cream > 20000;
    seen.curves = red > 200;
    return seen;
}

// Milliseconds from starting program to the first frame that satisfies want,
// or -1 when none came in time.
template <typename Want> double timeToFrame(Display *display, const char *program, Want want)
{
    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    double result = -1;
    while (nowMs() - start < kGiveUpMs) {
        if (want(look(display))) {
            result = nowMs() - start;
            break;
        }
        usleep(kPollSleepUs);
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    usleep(kBetweenRunsUs);
    return result;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_probe PROGRAM EMPTY_YEAR_PROGRAM [RUNS]\n");
        return 2;
    }
    const int runs = std::max(1, argc > 3 ? std::atoi(argv[3]) : 5);
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startup_probe: no X display\n");
        return 2;
    }
    std::vector<double> emptyMs, curvesMs;
    for (int run = 0; run < runs; ++run) {
        const double empty = timeToFrame(display, argv[2], [](Seen s) { return s.window; });
        const double curves = timeToFrame(display, argv[1], [](Seen s) { return s.curves; });
        std::printf("run %d: empty year %.0f ms, first frame with the curves %.0f ms\n", run + 1,
                    empty, curves);
        emptyMs.push_back(empty);
        curvesMs.push_back(curves);
    }
    const double e = median(emptyMs), c = median(curvesMs);
    std::printf("median: empty year %.0f ms, first frame with the curves %.0f ms, ratio %.2f\n", e,
                c, e > 0 ? c / e : 0.0);
    XCloseDisplay(display);
    return 0;
}
