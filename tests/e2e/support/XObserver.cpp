#include "XObserver.hpp"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>

#include <algorithm>
#include <utility>

namespace joywright::e2e {

std::string ObservedEvent::token() const {
    switch (kind) {
        case Kind::keyPress:
            return "+k" + std::to_string(detail);
        case Kind::keyRelease:
            return "-k" + std::to_string(detail);
        case Kind::buttonPress:
            return "+b" + std::to_string(detail);
        case Kind::buttonRelease:
            return "-b" + std::to_string(detail);
        case Kind::motion:
            return "m";
    }
    return "?";
}

std::string keyToken(int linuxKeyCode, bool press) {
    return (press ? "+k" : "-k") + std::to_string(linuxKeyCode + 8);
}

std::string buttonToken(int xButton, bool press) {
    return (press ? "+b" : "-b") + std::to_string(xButton);
}

Expected<std::unique_ptr<XObserver>, std::string> XObserver::open(const std::string& displayName) {
    Display* display = XOpenDisplay(displayName.c_str());
    if (display == nullptr) return unexpected("Cannot open display " + displayName);
    int opcode = 0;
    int event = 0;
    int error = 0;
    int major = 2;
    int minor = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success) {
        XCloseDisplay(display);
        return unexpected(displayName + " has no XInput2");
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XISetMask(bits, XI_RawMotion);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    XSync(display, False);
    return std::unique_ptr<XObserver>(new XObserver(display, opcode));
}

XObserver::~XObserver() {
    XCloseDisplay(display_);
}

void XObserver::readPending() {
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        XGenericEventCookie& cookie = event.xcookie;
        if (cookie.type != GenericEvent || cookie.extension != xiOpcode_ ||
            !XGetEventData(display_, &cookie)) {
            continue;
        }
        const auto* raw = static_cast<const XIRawEvent*>(cookie.data);
        switch (cookie.evtype) {
            case XI_RawKeyPress:
                events_.push_back({ObservedEvent::Kind::keyPress, raw->detail});
                break;
            case XI_RawKeyRelease:
                events_.push_back({ObservedEvent::Kind::keyRelease, raw->detail});
                break;
            case XI_RawButtonPress:
                events_.push_back({ObservedEvent::Kind::buttonPress, raw->detail});
                break;
            case XI_RawButtonRelease:
                events_.push_back({ObservedEvent::Kind::buttonRelease, raw->detail});
                break;
            case XI_RawMotion:
                events_.push_back({ObservedEvent::Kind::motion, 0});
                break;
            default:
                break;
        }
        XFreeEventData(display_, &cookie);
    }
}

void XObserver::poll() {
    XSync(display_, False);
    readPending();
}

bool XObserver::waitUntil(const std::function<bool()>& condition, Timeout timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        poll();
        if (condition()) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        // Wakes on the next event, or after a short while for conditions that are queried
        // rather than announced (keys held, pointer position).
        pollfd p{ConnectionNumber(display_), POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(std::min<long>(left.count(), 20)));
    }
}

bool XObserver::waitForTokens(const std::vector<std::string>& expected, Timeout timeout) {
    return waitUntil([&] { return tokens() == expected; }, timeout);
}

std::vector<std::string> XObserver::tokens() const {
    std::vector<std::string> result;
    for (const auto& event : events_) {
        if (event.kind != ObservedEvent::Kind::motion) result.push_back(event.token());
    }
    return result;
}

std::size_t XObserver::motionCount() const {
    return static_cast<std::size_t>(
        std::count_if(events_.begin(), events_.end(),
                      [](const auto& e) { return e.kind == ObservedEvent::Kind::motion; }));
}

std::vector<int> XObserver::keysHeld() {
    char keys[32];
    XQueryKeymap(display_, keys);
    std::vector<int> held;
    for (int code = 0; code < 256; ++code) {
        if ((keys[code / 8] >> (code % 8)) & 1) held.push_back(code);
    }
    return held;
}

namespace {

// The pointer's root position and its button and modifier mask.
std::pair<XObserver::Position, unsigned int> queryPointer(Display* display) {
    Window root = 0;
    Window child = 0;
    XObserver::Position p;
    int winX = 0;
    int winY = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &p.x, &p.y, &winX, &winY,
                  &mask);
    return {p, mask};
}

}  // namespace

std::vector<int> XObserver::buttonsHeld() {
    const unsigned int mask = queryPointer(display_).second;
    std::vector<int> held;
    const unsigned int buttonMasks[] = {Button1Mask, Button2Mask, Button3Mask, Button4Mask,
                                        Button5Mask};
    for (int i = 0; i < 5; ++i) {
        if ((mask & buttonMasks[i]) != 0) held.push_back(i + 1);
    }
    return held;
}

XObserver::Position XObserver::pointer() {
    return queryPointer(display_).first;
}

void XObserver::warpPointer(int x, int y) {
    XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, x, y);
    XSync(display_, False);
}

void XObserver::setPointerAcceleration(bool enabled) {
    XChangePointerControl(display_, True, True, enabled ? 2 : 1, 1, enabled ? 4 : 0);
    XSync(display_, False);
}

}  // namespace joywright::e2e
