// Measures Kalvik's start-up as a user sees it: from the moment the process
// is started to the first frame on the X server that shows the window, and
// to the first that shows the year's curves. Polls the screen through Xlib.
//   startup_probe PROGRAM [RUNS]     (inside an X server, e.g. xvfb-run)
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

double nowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Seen
{
    bool window = false; // the teal client area
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
    int teal = 0, red = 0;
    for (int y = 0; y < kHeight; y += 2) {
        for (int x = 0; x < kWidth; ++x) {
            const unsigned long p = XGetPixel(image, x, y) & 0xffffff;
            teal += p == 0x008080;
            red += p == 0xff0000;
        }
    }
    XDestroyImage(image);
    seen.window = teal > 5000;
    seen.curves = red > 200;
    return seen;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_probe PROGRAM [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startup_probe: no X display\n");
        return 2;
    }
    std::vector<double> windowMs, curvesMs;
    for (int run = 0; run < runs; ++run) {
        const double start = nowMs();
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            execl(argv[1], argv[1], static_cast<char *>(nullptr));
            _exit(127);
        }
        double window = -1, curves = -1;
        while (nowMs() - start < 10000 && curves < 0) {
            const Seen seen = look(display);
            const double t = nowMs() - start;
            if (seen.window && window < 0)
                window = t;
            if (seen.curves)
                curves = t;
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        std::printf("run %d: window %.0f ms, curves %.0f ms\n", run + 1, window, curves);
        windowMs.push_back(window);
        curvesMs.push_back(curves);
        usleep(300000);
    }
    std::sort(windowMs.begin(), windowMs.end());
    std::sort(curvesMs.begin(), curvesMs.end());
    std::printf("median: window %.0f ms, first frame with the curves %.0f ms\n", windowMs[runs / 2],
                curvesMs[runs / 2]);
    XCloseDisplay(display);
    return 0;
}
