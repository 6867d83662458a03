#pragma once

#include <memory>
#include <thread>

#include "support/MainLoop.hpp"

class QObject;

namespace joywright {

// The application's main loop on Qt's event loop. Create it on the main thread once the
// QCoreApplication exists; its tasks run while that application's event loop runs. post() is
// a queued call (any thread, in order); schedule() is a precise single-shot timer, rounded up to
// whole milliseconds so a task never runs early. Must outlive every thread that posts to it.
class QtMainLoop final : public MainLoop {
public:
    QtMainLoop();
    ~QtMainLoop() override;
    QtMainLoop(const QtMainLoop&) = delete;
    QtMainLoop& operator=(const QtMainLoop&) = delete;

    void post(std::function<void()> task) override;
    [[nodiscard]] TaskHandle schedule(Duration delay, std::function<void()> task) override;
    TimePoint now() const override { return Clock::now(); }
    bool isMainThread() const override { return std::this_thread::get_id() == mainThread_; }

private:
    // Owner of the queued calls and timers: destroying the loop drops what has not run yet.
    std::unique_ptr<QObject> context_;
    std::thread::id mainThread_;
};

}  // namespace joywright
