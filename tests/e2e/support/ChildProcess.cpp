#include "ChildProcess.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace joywright::e2e {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

std::vector<std::string> childEnvironment(const ChildProcess::Options& options) {
    std::vector<std::string> result;
    const auto replaced = [&](std::string_view entry) {
        const auto name = entry.substr(0, entry.find('='));
        for (const auto& [key, value] : options.environment)
            if (key == name) return true;
        return std::find(options.unset.begin(), options.unset.end(), name) != options.unset.end();
    };
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (!replaced(*entry)) result.emplace_back(*entry);
    for (const auto& [key, value] : options.environment)
        result.push_back(key + "=" + value);
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (auto& s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

}  // namespace

Expected<std::unique_ptr<ChildProcess>, std::string> ChildProcess::spawn(const Options& options) {
    int input[2];
    int output[2];
    if (pipe2(input, O_CLOEXEC) != 0) return unexpected(std::string("pipe: ") + strerror(errno));
    if (pipe2(output, O_CLOEXEC) != 0) {
        close(input[0]);
        close(input[1]);
        return unexpected(std::string("pipe: ") + strerror(errno));
    }
    char errorPattern[] = "/tmp/joywright-child-stderr-XXXXXX";
    const int errorFd = mkstemp(errorPattern);
    if (errorFd < 0) return unexpected(std::string("mkstemp: ") + strerror(errno));

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errorFd, STDERR_FILENO);
    std::vector<std::string> args{options.path};
    args.insert(args.end(), options.arguments.begin(), options.arguments.end());
    std::vector<std::string> env = childEnvironment(options);
    auto argv = pointers(args);
    auto envp = pointers(env);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, options.path.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    close(errorFd);
    if (spawned != 0) {
        close(input[1]);
        close(output[0]);
        unlink(errorPattern);
        return unexpected("Cannot start " + options.path + ": " + strerror(spawned));
    }
    // A child that ends early must not end this process with SIGPIPE on the next send().
    ::signal(SIGPIPE, SIG_IGN);
    return std::unique_ptr<ChildProcess>(new ChildProcess(pid, input[1], output[0], errorPattern));
}

ChildProcess::~ChildProcess() {
    if (!status_) {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    if (input_ >= 0) close(input_);
    close(output_);
    unlink(errorFile_.c_str());
}

bool ChildProcess::send(std::string_view line) {
    if (input_ < 0) return false;
    std::string text(line);
    text.push_back('\n');
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = write(input_, text.data() + sent, text.size() - sent);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void ChildProcess::closeInput() {
    if (input_ >= 0) close(input_);
    input_ = -1;
}

bool ChildProcess::readOutput(int waitMs) {
    if (outputEnded_) return false;
    pollfd p{output_, POLLIN, 0};
    if (poll(&p, 1, waitMs) <= 0) return true;
    char buffer[4096];
    const ssize_t n = read(output_, buffer, sizeof buffer);
    if (n <= 0) {
        outputEnded_ = n == 0 || errno != EINTR;
        return !outputEnded_;
    }
    for (ssize_t i = 0; i < n; ++i) {
        if (buffer[i] == '\n') {
            lines_.push_back(std::move(partial_));
            taken_.push_back(false);
            partial_.clear();
        } else {
            partial_.push_back(buffer[i]);
        }
    }
    return true;
}

std::optional<std::string> ChildProcess::waitForLine(
    const std::function<bool(const std::string&)>& matches, Timeout timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (taken_[i] || !matches(lines_[i])) continue;
            taken_[i] = true;
            return lines_[i];
        }
        const int left = remainingMs(deadline);
        if (left == 0 || !readOutput(left)) return std::nullopt;
    }
}

std::optional<std::string> ChildProcess::waitForLineStartingWith(std::string_view prefix,
                                                                 Timeout timeout) {
    return waitForLine([prefix](const std::string& line) { return line.starts_with(prefix); },
                       timeout);
}

void ChildProcess::signal(int signalNumber) {
    if (!status_) kill(pid_, signalNumber);
}

std::optional<int> ChildProcess::waitForExit(Timeout timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!status_) {
        int status = 0;
        const pid_t reaped = waitpid(pid_, &status, WNOHANG);
        if (reaped == pid_) {
            status_ = status;
            break;
        }
        const int left = remainingMs(deadline);
        if (left == 0) break;
        // Keeps reading the output meanwhile, so a chatty child never blocks on a full pipe.
        if (!readOutput(std::min(left, 10))) {
            pollfd none{-1, 0, 0};
            poll(&none, 0, std::min(left, 10));
        }
    }
    return status_;
}

std::string ChildProcess::errorOutput() const {
    std::ifstream file(errorFile_);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace joywright::e2e
