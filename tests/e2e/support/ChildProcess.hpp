#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/Expected.hpp"

namespace joywright::e2e {

// A program run as a child process that a test talks to: lines to its standard input, lines read
// from its standard output, its standard error kept in a file. Waits poll with deadlines. The
// child is killed (SIGKILL) and reaped when the object goes, if it still runs. Main thread only.
//
//   auto host = ChildProcess::spawn({.path = hostPath, .environment = {{"DISPLAY", ":5"}}});
//   (*host)->send("attach");
//   (*host)->waitForLine([](auto& l) { return l.starts_with("ok "); });
class ChildProcess {
public:
    using Timeout = std::chrono::milliseconds;
    static constexpr Timeout kDefaultTimeout{10000};

    struct Options {
        std::string path;
        std::vector<std::string> arguments;
        // Variables set (or replaced) in the child's copy of this process's environment.
        std::vector<std::pair<std::string, std::string>> environment;
        // Variables removed from it.
        std::vector<std::string> unset;
    };

    static Expected<std::unique_ptr<ChildProcess>, std::string> spawn(const Options& options);

    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }

    // Writes `line` and a newline to the child's standard input; false when it cannot.
    bool send(std::string_view line);
    // Closes the child's standard input (it reads end of file).
    void closeInput();

    // The first line of standard output that satisfies `matches` and that no earlier wait
    // returned, reading more as it arrives; none when `timeout` passes or the output ends first.
    std::optional<std::string> waitForLine(const std::function<bool(const std::string&)>& matches,
                                           Timeout timeout = kDefaultTimeout);
    std::optional<std::string> waitForLineStartingWith(std::string_view prefix,
                                                       Timeout timeout = kDefaultTimeout);
    // Every line of standard output read so far.
    const std::vector<std::string>& outputLines() const { return lines_; }

    void signal(int signalNumber);
    // The wait status (as waitpid gives it) once the child ended, or none after `timeout`.
    std::optional<int> waitForExit(Timeout timeout = kDefaultTimeout);
    bool hasExited() const { return status_.has_value(); }

    // What the child wrote to standard error so far.
    std::string errorOutput() const;

private:
    ChildProcess(pid_t pid, int input, int output, std::string errorFile)
        : pid_(pid), input_(input), output_(output), errorFile_(std::move(errorFile)) {}
    // Reads what standard output holds, waiting at most `waitMs`; false at end of output.
    bool readOutput(int waitMs);

    pid_t pid_;
    int input_;
    int output_;
    std::string errorFile_;
    std::string partial_;
    std::vector<std::string> lines_;
    // Lines an earlier wait returned.
    std::vector<bool> taken_;
    bool outputEnded_ = false;
    std::optional<int> status_;
};

}  // namespace joywright::e2e
