#include "XvfbServer.hpp"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

extern char** environ;

namespace joywright::e2e {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for `pid` to end until `deadline`; true when it has been reaped.
bool waitForExit(pid_t pid, Clock::time_point deadline) {
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    for (;;) {
        int status = 0;
        const pid_t reaped = waitpid(pid, &status, WNOHANG);
        if (reaped == pid || (reaped < 0 && errno == ECHILD)) {
            if (pidfd >= 0) close(pidfd);
            return true;
        }
        const int timeout = remainingMs(deadline);
        if (timeout == 0) {
            if (pidfd >= 0) close(pidfd);
            return false;
        }
        if (pidfd >= 0) {
            pollfd p{pidfd, POLLIN, 0};
            poll(&p, 1, timeout);
        } else {
            pollfd none{-1, 0, 0};
            poll(&none, 0, std::min(timeout, 10));
        }
    }
}

void stopProcess(pid_t pid) {
    kill(pid, SIGTERM);
    if (!waitForExit(pid, Clock::now() + std::chrono::seconds(5))) {
        kill(pid, SIGKILL);
        waitForExit(pid, Clock::now() + std::chrono::seconds(5));
    }
}

}  // namespace

Expected<std::unique_ptr<XvfbServer>, std::string> XvfbServer::start(Options options) {
    int fds[2];
    if (pipe(fds) != 0) return unexpected(std::string("pipe: ") + std::strerror(errno));
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    const std::string displayFd = std::to_string(fds[1]);
    const std::string screen =
        std::to_string(options.width) + "x" + std::to_string(options.height) + "x24";
    std::vector<std::string> args{"Xvfb",    "-displayfd", displayFd, "-nolisten", "tcp",
                                  "-screen", "0",          screen,    "-noreset"};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return unexpected(std::string("Cannot start Xvfb: ") + std::strerror(spawned));
    }

    // Xvfb writes its display number to the pipe once it accepts connections.
    const auto deadline = Clock::now() + options.startTimeout;
    std::string number;
    bool complete = false;
    while (!complete) {
        pollfd p{fds[0], POLLIN, 0};
        const int timeout = remainingMs(deadline);
        if (timeout == 0 || poll(&p, 1, timeout) <= 0) break;
        char buffer[32];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == '\n')
                complete = true;
            else
                number.push_back(buffer[i]);
        }
    }
    close(fds[0]);
    if (!complete || number.empty()) {
        stopProcess(pid);
        return unexpected(std::string("Xvfb did not report a display in time"));
    }

    std::string name = ":" + number;
    for (;;) {
        if (Display* probe = XOpenDisplay(name.c_str())) {
            XCloseDisplay(probe);
            break;
        }
        if (remainingMs(deadline) == 0) {
            stopProcess(pid);
            return unexpected("Xvfb on " + name + " does not accept connections");
        }
        pollfd none{-1, 0, 0};
        poll(&none, 0, 10);
    }
    return std::unique_ptr<XvfbServer>(new XvfbServer(pid, std::move(name), options));
}

XvfbServer::~XvfbServer() {
    stopProcess(pid_);
}

}  // namespace joywright::e2e
