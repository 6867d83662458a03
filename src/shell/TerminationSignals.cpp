#include "shell/TerminationSignals.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace joywright {

namespace {

// The pipe's write end while an instance is installed, else -1. Read by the signal handler.
std::atomic<int> gWriteEnd{-1};

extern "C" void onTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const int fd = gWriteEnd.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signalNumber);
        // A full pipe already holds a wake-up; nothing is lost by dropping this byte.
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

Expected<std::unique_ptr<TerminationSignals>, std::string> TerminationSignals::install(
    Handler handler) {
    if (gWriteEnd.load() >= 0)
        return unexpected(std::string("signal handling is already installed"));
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return unexpected(std::string("Cannot create the signal pipe: ") + std::strerror(errno));
    }
    return std::unique_ptr<TerminationSignals>(
        new TerminationSignals(fds[0], fds[1], std::move(handler)));
}

TerminationSignals::TerminationSignals(int readEnd, int writeEnd, Handler handler)
    : readEnd_(readEnd),
      writeEnd_(writeEnd),
      handler_(std::move(handler)),
      notifier_(std::make_unique<QSocketNotifier>(readEnd, QSocketNotifier::Read)) {
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { drain(); });
    gWriteEnd.store(writeEnd_);
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &previous_[i]);
}

TerminationSignals::~TerminationSignals() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &previous_[i], nullptr);
    gWriteEnd.store(-1);
    notifier_.reset();
    close(readEnd_);
    close(writeEnd_);
}

void TerminationSignals::drain() {
    unsigned char received[16];
    for (;;) {
        const ssize_t n = read(readEnd_, received, sizeof received);
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i)
            handler_(received[i]);
    }
}

}  // namespace joywright
