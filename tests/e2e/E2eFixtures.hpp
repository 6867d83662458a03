#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>
#include <functional>
#include <memory>

#include "e2e/support/XObserver.hpp"
#include "e2e/support/XvfbServer.hpp"
#include "platform/x11/X11Connection.hpp"

namespace joywright::e2e {

// Runs the Qt event loop until `condition` holds or `timeout` passes; true when it held.
inline bool runUntil(const std::function<bool()>& condition,
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents,
                                        static_cast<int>(std::min<long>(left.count(), 50)));
    }
    return true;
}
// Runs the Qt event loop for `time`.
inline void runFor(std::chrono::milliseconds time) {
    runUntil([] { return false; }, time);
}

// A private Xvfb, an observer of it, and the program's own connection to it.
class XServerTest : public testing::Test {
protected:
    void SetUp() override {
        auto server = XvfbServer::start();
        ASSERT_TRUE(server) << server.error();
        xvfb = std::move(server).value();
        auto watcher = XObserver::open(xvfb->displayName());
        ASSERT_TRUE(watcher) << watcher.error();
        observer = std::move(watcher).value();
        auto opened = X11Connection::open(xvfb->displayName());
        ASSERT_TRUE(opened) << opened.error();
        connection = std::move(opened).value();
    }

    // The server goes last, after the derived fixture's members that still hold connections.
    ~XServerTest() override {
        connection.reset();
        observer.reset();
        xvfb.reset();
    }

    std::unique_ptr<XvfbServer> xvfb;
    std::unique_ptr<XObserver> observer;
    std::shared_ptr<X11Connection> connection;
};

}  // namespace joywright::e2e
