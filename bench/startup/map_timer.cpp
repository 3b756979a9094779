// SPDX-License-Identifier: GPL-3.0-or-later
// map_timer TIMEOUT_MS PROGRAM [ARGUMENTS...]
//
// Starts PROGRAM and prints "PID MS CPU_MS THREADS": its process id, the milliseconds from its
// exec until the X server mapped its first window, as a user waits for a start, the processor
// time the program had used by then (every thread's, user and system, in milliseconds) and how
// many threads it had started by then. The program is left
// running; what it prints goes to standard error, so that standard output holds only the
// figure and a caller reading it does not wait for the program. Watches the root window, so it
// needs an X server where nothing else maps windows meanwhile (a private Xvfb). Exits 1, having
// killed the program, when no window is mapped within TIMEOUT_MS.
#include <X11/Xlib.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
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

struct ProcessorUse
{
    double ms = 0;
    int threads = 0;
};

/**
 * The processor time the process has used, in every thread it has started: each live thread's
 * own figure (nanoseconds) summed, or the whole process's (counted in clock ticks, and so
 * coarser, but holding threads that have ended too) where that is more.
 */
ProcessorUse processorUse(pid_t pid)
{
    ProcessorUse use;
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/task", int(pid));
    if (DIR *tasks = opendir(path)) {
        while (const dirent *task = readdir(tasks)) {
            if (task->d_name[0] == '.')
                continue;
            char statPath[384];
            std::snprintf(statPath, sizeof statPath, "%s/%s/schedstat", path, task->d_name);
            if (FILE *file = std::fopen(statPath, "r")) {
                unsigned long long ns = 0;
                if (std::fscanf(file, "%llu", &ns) == 1)
                    use.ms += double(ns) / 1e6;
                std::fclose(file);
            }
            ++use.threads;
        }
        closedir(tasks);
    }
    std::snprintf(path, sizeof path, "/proc/%d/stat", int(pid));
    if (FILE *file = std::fopen(path, "r")) {
        // Fields 14 and 15, after the name in parentheses (which may hold spaces).
        char line[1024] = {};
        const size_t read = std::fread(line, 1, sizeof line - 1, file);
        std::fclose(file);
        line[read] = 0;
        unsigned long long user = 0, system = 0;
        if (const char *after = std::strrchr(line, ')'); after
            && std::sscanf(after + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user, &system) == 2) {
            const double ticks = double(user + system) * 1000.0 / double(sysconf(_SC_CLK_TCK));
            if (ticks > use.ms)
                use.ms = ticks;
        }
    }
    return use;
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
                const double mapped = nowMs() - start;
                const ProcessorUse use = processorUse(pid);
                std::printf("%d %.1f %.1f %d\n", int(pid), mapped, use.ms, use.threads);
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
