#pragma once

#include <csignal>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "support/Expected.hpp"

class QSocketNotifier;

namespace joywright {

// Turns SIGTERM and SIGINT into calls on the main loop. The signals' default actions (ending the
// process at once) are replaced by a handler that only writes the signal's number into a pipe
// the Qt event loop watches, so whichever thread the kernel picks, the work happens on the main
// thread: `handler` runs there, once per signal received. The previous actions come back when the
// object is destroyed. One instance per process at a time. Main thread only; needs a
// QCoreApplication.
class TerminationSignals {
public:
    using Handler = std::function<void(int signalNumber)>;

    // The signals handled.
    static constexpr int kSignals[] = {SIGTERM, SIGINT};

    // The installed handling, or why it could not be installed (the signals then keep their
    // default actions).
    static Expected<std::unique_ptr<TerminationSignals>, std::string> install(Handler handler);

    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    TerminationSignals(int readEnd, int writeEnd, Handler handler);
    void drain();

    int readEnd_;
    int writeEnd_;
    Handler handler_;
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction previous_[std::size(kSignals)] = {};
};

}  // namespace joywright
