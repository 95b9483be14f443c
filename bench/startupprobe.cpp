// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up of two programs, measured from outside: from launch until the
// first window is mapped on the X server, and the peak resident memory up to
// then. The two alternate run by run; the medians and their ratio are
// printed. Usage: startupprobe RUNS PROGRAM BASELINE
#include <X11/Xlib.h>

#include <sys/resource.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Sample
{
    double milliseconds = 0;
    long peakKilobytes = 0;
};

// Waits for the next top-level window to be mapped; false after 20 s.
bool waitForMap(Display *display)
{
    const int fd = ConnectionNumber(display);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify)
                return true;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval wait{0, 100'000};
        select(fd + 1, &readable, nullptr, nullptr, &wait);
    }
    return false;
}

bool measure(Display *display, const char *program, Sample &sample)
{
    XSync(display, True); // drop any event left from the run before
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    const bool mapped = waitForMap(display);
    const auto shown = std::chrono::steady_clock::now();
    kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    sample.milliseconds = std::chrono::duration<double, std::milli>(shown - start).count();
    sample.peakKilobytes = usage.ru_maxrss;
    return mapped;
}

template<typename Field>
double median(std::vector<Sample> samples, Field field)
{
    std::vector<double> values(samples.size());
    std::transform(samples.begin(), samples.end(), values.begin(),
                   [field](const Sample &s) { return static_cast<double>(s.*field); });
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: startupprobe RUNS PROGRAM BASELINE\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startupprobe: no X display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

    std::array<std::vector<Sample>, 2> samples;
    for (int run = 0; run < runs * 2; ++run) {
        const int which = run % 2;
        Sample sample;
        if (!measure(display, argv[2 + which], sample)) {
            std::fprintf(stderr, "startupprobe: %s showed no window\n", argv[2 + which]);
            return 1;
        }
        samples[static_cast<std::size_t>(which)].push_back(sample);
    }
    const double time = median(samples[0], &Sample::milliseconds);
    const double timeFloor = median(samples[1], &Sample::milliseconds);
    const double memory = median(samples[0], &Sample::peakKilobytes);
    const double memoryFloor = median(samples[1], &Sample::peakKilobytes);
    std::printf("| start-up to the first prompt on screen (median of %d) | %.1f ms | floor %.1f ms | ratio %.3f |\n",
                runs, time, timeFloor, time / timeFloor);
    std::printf("| peak resident memory up to then (median of %d) | %.0f KiB | floor %.0f KiB | ratio %.3f |\n", runs,
                memory, memoryFloor, memory / memoryFloor);
    XCloseDisplay(display);
    return 0;
}
