// SPDX-License-Identifier: GPL-3.0-or-later
// map_timer TIMEOUT_MS PROGRAM [ARGUMENTS...]
//
// Starts PROGRAM and prints "PID MS": its process id and the milliseconds from its exec until
// the X server mapped its first window, as a user waits for a start. The program is left
// running; what it prints goes to standard error, so that standard output holds only the
// figure and a caller reading it does not wait for the program. Watches the root window, so it
// needs an X server where nothing else maps windows meanwhile (a private Xvfb). Exits 1, having
// killed the program, when no window is mapped within TIMEOUT_MS.
#include <X11/Xlib.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
double nowMs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: map_timer TIMEOUT_MS PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const double timeoutMs = std::atof(argv[1]);
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "map_timer: no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    // The start is taken in the child, just before it becomes the program.
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return 2;
    const pid_t pid = fork();
    if (pid < 0)
        return 2;
    if (pid == 0) {
        close(ConnectionNumber(display));
        close(pipeFds[0]);
        const double start = nowMs();
        if (write(pipeFds[1], &start, sizeof start) != sizeof start)
            _exit(127);
        close(pipeFds[1]);
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    close(pipeFds[1]);
    double start = 0;
    if (read(pipeFds[0], &start, sizeof start) != sizeof start) {
        std::fprintf(stderr, "map_timer: %s did not start\n", argv[2]);
        return 1;
    }
    close(pipeFds[0]);

    const double deadline = start + timeoutMs;
    while (true) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify) {
                std::printf("%d %.1f\n", int(pid), nowMs() - start);
                return 0;
            }
        }
        const double left = deadline - nowMs();
        int status = 0;
        if (left <= 0 || waitpid(pid, &status, WNOHANG) == pid)
            break;
        pollfd watch { ConnectionNumber(display), POLLIN, 0 };
        poll(&watch, 1, left < 50 ? int(left) + 1 : 50);
    }
    std::fprintf(stderr, "map_timer: %s mapped no window within %.0f ms\n", argv[2], timeoutMs);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return 1;
}
