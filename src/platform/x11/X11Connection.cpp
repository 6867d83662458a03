#include "platform/x11/X11Connection.hpp"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xrandr.h>

#include <cmath>
#include <cstring>

#include "support/Log.hpp"

namespace joywright {

namespace {

// Errors inside withoutErrors() are counted here instead of logged.
int trapDepth = 0;
bool errorTrapped = false;

int logXError(Display* display, XErrorEvent* error) {
    if (trapDepth > 0) {
        errorTrapped = true;
        return 0;
    }
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    JW_LOG_ERROR(general, "X error: %s (request %d.%d)", text, error->request_code,
                 error->minor_code);
    return 0;
}

}  // namespace

Expected<std::shared_ptr<X11Connection>, std::string> X11Connection::open(
    const std::string& displayName) {
    const char* name = displayName.empty() ? nullptr : displayName.c_str();
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        const char* shown = XDisplayName(name);
        return unexpected(std::string("Cannot open X display \"") + (shown ? shown : "") + "\"");
    }
    XSetErrorHandler(logXError);
    return std::shared_ptr<X11Connection>(new X11Connection(display, DisplayString(display)));
}

std::shared_ptr<X11Connection> X11Connection::openOrLog(const std::string& displayName) {
    auto connection = open(displayName);
    if (!connection) {
        JW_LOG_ERROR(general, "%s: synthetic input, screens and key names are unavailable",
                     connection.error().c_str());
        return nullptr;
    }
    return std::move(connection).value();
}

X11Connection::X11Connection(Display* display, std::string name)
    : display_(display), name_(std::move(name)) {
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    hasXTest_ = XTestQueryExtension(display_, &event, &error, &major, &minor) == True;

    if (XRRQueryExtension(display_, &event, &error) == True &&
        XRRQueryVersion(display_, &major, &minor) != 0) {
        hasRandR_ = major > 1 || (major == 1 && minor >= 5);
    }

    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    if (XkbQueryExtension(display_, &opcode, &xkbEventBase_, &error, &major, &minor) == True) {
        hasXkb_ = true;
        const unsigned int keymapEvents = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
        XkbSelectEvents(display_, XkbUseCoreKbd, keymapEvents, keymapEvents);
        XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                              XkbGroupStateMask);
        XkbStateRec state{};
        if (XkbGetState(display_, XkbUseCoreKbd, &state) == Success) keyboardGroup_ = state.group;
    }
}

X11Connection::~X11Connection() {
    XCloseDisplay(display_);
}

void X11Connection::requestsQueued() {
    if (batchDepth_ == 0) flush();
}

void X11Connection::flush() {
    XFlush(display_);
}

void X11Connection::notePointerTarget(Point target) {
    pointerTarget_ = target;
    pointerPixelX_ = std::lround(target.x);
    pointerPixelY_ = std::lround(target.y);
}

std::optional<Point> X11Connection::pointerPosition() {
    Window root = 0;
    Window child = 0;
    int x = 0;
    int y = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int mask = 0;
    if (XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &x, &y, &windowX,
                      &windowY, &mask) != True) {
        return std::nullopt;
    }
    if (pointerTarget_ && x == pointerPixelX_ && y == pointerPixelY_) return *pointerTarget_;
    pointerTarget_.reset();
    return Point{static_cast<double>(x), static_cast<double>(y)};
}

int X11Connection::keyboardGroup() {
    readEvents();
    return keyboardGroup_;
}

std::uint64_t X11Connection::keymapGeneration() {
    readEvents();
    return keymapGeneration_;
}

void X11Connection::readEvents() {
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
            ++keymapGeneration_;
        } else if (hasXkb_ && event.type == xkbEventBase_) {
            XkbEvent xkb{};
            static_assert(sizeof xkb >= sizeof event);
            std::memcpy(&xkb, &event, sizeof event);
            if (xkb.any.xkb_type == XkbStateNotify) {
                keyboardGroup_ = xkb.state.group;
            } else if (xkb.any.xkb_type == XkbMapNotify ||
                       xkb.any.xkb_type == XkbNewKeyboardNotify) {
                ++keymapGeneration_;
            }
        }
    }
}

bool X11Connection::withoutErrors(const std::function<void()>& body) {
    XSync(display_, False);
    ++trapDepth;
    const bool wasTrapped = errorTrapped;
    errorTrapped = false;
    body();
    XSync(display_, False);
    const bool failed = errorTrapped;
    errorTrapped = wasTrapped;
    --trapDepth;
    return !failed;
}

}  // namespace joywright
