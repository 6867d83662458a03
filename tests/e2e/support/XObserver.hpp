#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/Expected.hpp"

struct _XDisplay;

namespace joywright::e2e {

// One input event as the X server reports it to every client (XInput2 raw events on the root
// window): what really arrived, whoever posted it.
struct ObservedEvent {
    enum class Kind { keyPress, keyRelease, buttonPress, buttonRelease, motion };
    Kind kind;
    int detail = 0;  // X keycode (Linux key code + 8) or X button number; 0 for motion

    // "+k37", "-k37" (keys), "+b1", "-b1" (buttons), "m" (motion).
    std::string token() const;
};

// Tokens for expectations: key(KEY_LEFTCTRL, true) is "+k37"; button(4, false) is "-b4".
std::string keyToken(int linuxKeyCode, bool press);
std::string buttonToken(int xButton, bool press);

// An independent observer of an X server, on its own connection. Nothing waits on fixed sleeps:
// waitUntil() reads the server's events until a condition holds or a deadline passes.
//
//   auto observer = XObserver::open(xvfb->displayName());
//   ... post something ...
//   EXPECT_TRUE((*observer)->waitForTokens({"+k37", "-k37"}));
//   EXPECT_TRUE((*observer)->waitUntilNothingHeld());
class XObserver {
public:
    using Timeout = std::chrono::milliseconds;
    static constexpr Timeout kDefaultTimeout{5000};

    static Expected<std::unique_ptr<XObserver>, std::string> open(const std::string& displayName);

    ~XObserver();
    XObserver(const XObserver&) = delete;
    XObserver& operator=(const XObserver&) = delete;

    // Reads what the server has sent so far, without waiting.
    void poll();
    // Reads events until `condition` holds (checked first without waiting) or `timeout` passes;
    // true when it held.
    bool waitUntil(const std::function<bool()>& condition, Timeout timeout = kDefaultTimeout);
    // Until the key and button tokens seen so far (motion left out) equal `tokens`; on a timeout
    // the caller compares tokens() for a readable failure.
    bool waitForTokens(const std::vector<std::string>& tokens, Timeout timeout = kDefaultTimeout);

    const std::vector<ObservedEvent>& events() const { return events_; }
    // Key and button tokens in arrival order; motion left out.
    std::vector<std::string> tokens() const;
    std::size_t motionCount() const;
    void clear() { events_.clear(); }

    // X keycodes the server holds down now (XQueryKeymap).
    std::vector<int> keysHeld();
    // Buttons 1...5 the server holds down now (XQueryPointer).
    std::vector<int> buttonsHeld();
    bool nothingHeld() { return keysHeld().empty() && buttonsHeld().empty(); }
    bool waitUntilNothingHeld(Timeout timeout = kDefaultTimeout) {
        return waitUntil([this] { return nothingHeld(); }, timeout);
    }

    // The pointer in root coordinates.
    struct Position {
        int x = 0;
        int y = 0;
        friend bool operator==(const Position&, const Position&) = default;
    };
    Position pointer();
    void warpPointer(int x, int y);
    // Pointer acceleration of the server (every pointer device): relative motion then moves by
    // exactly the posted amount.
    void setPointerAcceleration(bool enabled);

    _XDisplay* display() const { return display_; }

private:
    XObserver(_XDisplay* display, int xiOpcode) : display_(display), xiOpcode_(xiOpcode) {}
    void readPending();

    _XDisplay* display_;
    int xiOpcode_;
    std::vector<ObservedEvent> events_;
};

}  // namespace joywright::e2e
