#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>

#include "support/Expected.hpp"

namespace joywright::e2e {

// A private Xvfb for one test: started on a display number the server picks itself (so parallel
// tests never collide), without TCP, and ready to accept connections when start() returns.
// Stopped (SIGTERM, then SIGKILL after a deadline) when destroyed.
//
//   auto xvfb = XvfbServer::start();            // or the reason it could not start
//   XOpenDisplay((*xvfb)->displayName().c_str());
class XvfbServer {
public:
    struct Options {
        int width = 1280;
        int height = 1024;
        std::chrono::milliseconds startTimeout{10000};
    };

    static Expected<std::unique_ptr<XvfbServer>, std::string> start(Options options);
    static Expected<std::unique_ptr<XvfbServer>, std::string> start() { return start(Options{}); }

    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // ":<n>", for XOpenDisplay and $DISPLAY.
    const std::string& displayName() const { return displayName_; }
    int width() const { return options_.width; }
    int height() const { return options_.height; }
    pid_t pid() const { return pid_; }

private:
    XvfbServer(pid_t pid, std::string displayName, Options options)
        : pid_(pid), displayName_(std::move(displayName)), options_(options) {}

    pid_t pid_;
    std::string displayName_;
    Options options_;
};

}  // namespace joywright::e2e
