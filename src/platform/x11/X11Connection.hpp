#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/Geometry.hpp"
#include "support/Expected.hpp"

struct _XDisplay;

namespace joywright {

// The one Xlib connection the X11 parts share: the synthesizer, the display, the keyboard layout
// and the trust query. It knows which extensions the server has, sends posted requests in
// batches, remembers where the synthesizer last put the pointer (X keeps whole pixels only) and
// follows the keyboard layout. X errors are logged, never fatal. Main thread only.
class X11Connection {
public:
    // Opens `displayName` ("" means $DISPLAY); the reason when there is no display.
    static Expected<std::shared_ptr<X11Connection>, std::string> open(
        const std::string& displayName = "");
    // As open(), but logs the reason (once, at error level) and gives null. Every X11 part
    // accepts null and then posts nothing, has no screens and is not trusted.
    static std::shared_ptr<X11Connection> openOrLog(const std::string& displayName = "");

    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    _XDisplay* display() const { return display_; }
    const std::string& name() const { return name_; }
    bool hasXTest() const { return hasXTest_; }
    // RandR 1.5 or later (monitors).
    bool hasRandR() const { return hasRandR_; }
    bool hasXkb() const { return hasXkb_; }

    // While a batch is open, posted requests wait in Xlib's buffer and go out together when the
    // outermost batch closes (one per engine tick); outside a batch they go out at once.
    void beginBatch() { ++batchDepth_; }
    void endBatch() {
        if (batchDepth_ > 0 && --batchDepth_ == 0) flush();
    }
    class Batch {
    public:
        explicit Batch(X11Connection& connection) : connection_(connection) {
            connection_.beginBatch();
        }
        ~Batch() { connection_.endBatch(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        X11Connection& connection_;
    };
    // Called after requests were queued: sends them unless a batch is open.
    void requestsQueued();
    void flush();

    // The synthesizer moved the pointer to `target`; X put it on the nearest whole pixel.
    void notePointerTarget(Point target);
    // The pointer moved by other means (relative motion): whole pixels from now on.
    void forgetPointerTarget() { pointerTarget_.reset(); }
    // The pointer in root coordinates; while it still sits on the pixel the synthesizer last put
    // it on, the exact target (so slow motion adds up instead of rounding away). None when the
    // pointer is on another screen of the server.
    std::optional<Point> pointerPosition();

    // The current keyboard group (0...3) and a counter that grows when the keymap changes, both
    // as the XKB notifications read so far say.
    int keyboardGroup();
    std::uint64_t keymapGeneration();

    // Runs `body` with X errors collected instead of logged (for requests on windows other
    // clients own); true when none occurred. Waits for the server's replies.
    bool withoutErrors(const std::function<void()>& body);

private:
    X11Connection(_XDisplay* display, std::string name);
    void readEvents();

    _XDisplay* display_;
    std::string name_;
    bool hasXTest_ = false;
    bool hasRandR_ = false;
    bool hasXkb_ = false;
    int xkbEventBase_ = -1;
    int batchDepth_ = 0;
    std::optional<Point> pointerTarget_;
    long pointerPixelX_ = 0;
    long pointerPixelY_ = 0;
    int keyboardGroup_ = 0;
    std::uint64_t keymapGeneration_ = 0;
};

}  // namespace joywright
