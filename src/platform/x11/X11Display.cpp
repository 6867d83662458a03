#include "platform/x11/X11Display.hpp"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "platform/x11/TimerDisplayLink.hpp"
#include "platform/x11/XSettings.hpp"

namespace joywright {

namespace {

constexpr double kUnknownRefreshRate = 60;  // Hz

// Plausible bounds for the timing values the server reports, milliseconds.
constexpr int kLongestMilliseconds = 10000;

std::optional<double> plausibleSeconds(long milliseconds) {
    if (milliseconds <= 0 || milliseconds > kLongestMilliseconds) return std::nullopt;
    return static_cast<double>(milliseconds) / 1000.0;
}

double modeRate(const XRRModeInfo& mode) {
    double lines = mode.vTotal;
    if ((mode.modeFlags & RR_DoubleScan) != 0) lines *= 2;
    if ((mode.modeFlags & RR_Interlace) != 0) lines /= 2;
    if (mode.hTotal == 0 || lines <= 0) return 0;
    return static_cast<double>(mode.dotClock) / (static_cast<double>(mode.hTotal) * lines);
}

// The refresh rate of the CRTC that drives `output`; 0 when unknown.
double outputRate(::Display* display, XRRScreenResources* resources, RROutput output) {
    double rate = 0;
    if (XRROutputInfo* info = XRRGetOutputInfo(display, resources, output)) {
        if (info->crtc != 0) {
            if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, info->crtc)) {
                for (int i = 0; i < resources->nmode; ++i) {
                    if (resources->modes[i].id == crtc->mode) rate = modeRate(resources->modes[i]);
                }
                XRRFreeCrtcInfo(crtc);
            }
        }
        XRRFreeOutputInfo(info);
    }
    return rate;
}

struct PropertyBytes {
    unsigned char* data = nullptr;
    unsigned long length = 0;
    ~PropertyBytes() {
        if (data != nullptr) XFree(data);
    }
};

// The X resource database's text, read afresh from the root window.
std::string resourceManagerText(::Display* display) {
    Atom type = 0;
    int format = 0;
    unsigned long remaining = 0;
    PropertyBytes bytes;
    if (XGetWindowProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, 0,
                           LONG_MAX / 4, False, XA_STRING, &type, &format, &bytes.length,
                           &remaining, &bytes.data) != Success ||
        type != XA_STRING || format != 8 || bytes.data == nullptr) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(bytes.data), bytes.length);
}

std::optional<long> multiClickTimeResource(::Display* display) {
    const std::string text = resourceManagerText(display);
    if (text.empty()) return std::nullopt;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(text.c_str());
    if (database == nullptr) return std::nullopt;
    std::optional<long> result;
    char* type = nullptr;
    XrmValue value{};
    if (XrmGetResource(database, "joywright.multiClickTime", "Joywright.MultiClickTime", &type,
                       &value) == True &&
        value.addr != nullptr) {
        const std::string digits(value.addr, value.size > 0 ? value.size - 1 : 0);
        char* end = nullptr;
        const long parsed = std::strtol(digits.c_str(), &end, 10);
        if (end != digits.c_str() && *end == '\0') result = parsed;
    }
    XrmDestroyDatabase(database);
    return result;
}

}  // namespace

X11Display::X11Display(std::shared_ptr<X11Connection> connection, MainLoop& loop)
    : connection_(std::move(connection)), loop_(loop) {}

std::optional<Point> X11Display::cursorPosition() {
    if (connection_ == nullptr) return std::nullopt;
    return connection_->pointerPosition();
}

std::vector<Screen> X11Display::screens() {
    std::vector<Screen> screens;
    if (connection_ == nullptr) return screens;
    ::Display* display = connection_->display();
    const Window root = DefaultRootWindow(display);

    if (connection_->hasRandR()) {
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
        XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
        std::size_t primaryIndex = 0;
        for (int i = 0; i < count; ++i) {
            const XRRMonitorInfo& monitor = monitors[i];
            if (monitor.width <= 0 || monitor.height <= 0) continue;
            double rate = 0;
            if (resources != nullptr && monitor.noutput > 0) {
                rate = outputRate(display, resources, monitor.outputs[0]);
            }
            if (monitor.primary) primaryIndex = screens.size();
            screens.push_back(Screen{
                .frame =
                    Rect{static_cast<double>(monitor.x), static_cast<double>(monitor.y),
                         static_cast<double>(monitor.width), static_cast<double>(monitor.height)},
                .refreshRate = rate > 0 ? rate : kUnknownRefreshRate});
        }
        if (resources != nullptr) XRRFreeScreenResources(resources);
        if (monitors != nullptr) XRRFreeMonitors(monitors);
        // The primary monitor is the main screen and comes first; the rest keep their order.
        if (primaryIndex > 0) {
            std::rotate(screens.begin(),
                        screens.begin() + static_cast<std::ptrdiff_t>(primaryIndex),
                        screens.begin() + static_cast<std::ptrdiff_t>(primaryIndex) + 1);
        }
    }
    if (screens.empty()) {
        // No monitors to ask about: the whole root window is one screen.
        const int screen = DefaultScreen(display);
        screens.push_back(
            Screen{.frame = Rect{0, 0, static_cast<double>(DisplayWidth(display, screen)),
                                 static_cast<double>(DisplayHeight(display, screen))},
                   .refreshRate = kUnknownRefreshRate});
    }
    return screens;
}

SystemTiming X11Display::systemTiming() {
    SystemTiming timing;
    if (connection_ == nullptr) return timing;
    if (connection_->hasXkb()) {
        unsigned int delay = 0;
        unsigned int interval = 0;
        if (XkbGetAutoRepeatRate(connection_->display(), XkbUseCoreKbd, &delay, &interval) ==
            True) {
            timing.keyRepeatDelay =
                plausibleSeconds(static_cast<long>(delay)).value_or(timing.keyRepeatDelay);
            timing.keyRepeatInterval =
                plausibleSeconds(static_cast<long>(interval)).value_or(timing.keyRepeatInterval);
        }
    }
    timing.doubleClickInterval = doubleClickSeconds().value_or(timing.doubleClickInterval);
    return timing;
}

std::optional<double> X11Display::doubleClickSeconds() {
    ::Display* display = connection_->display();
    // The desktop's settings manager, when one runs, says what its toolkits use.
    const std::string selection = "_XSETTINGS_S" + std::to_string(DefaultScreen(display));
    const Atom selectionAtom = XInternAtom(display, selection.c_str(), False);
    const Atom settingsAtom = XInternAtom(display, "_XSETTINGS_SETTINGS", False);
    if (const Window owner = XGetSelectionOwner(display, selectionAtom); owner != None) {
        std::optional<std::int32_t> milliseconds;
        connection_->withoutErrors([&] {
            Atom type = 0;
            int format = 0;
            unsigned long remaining = 0;
            PropertyBytes bytes;
            if (XGetWindowProperty(display, owner, settingsAtom, 0, LONG_MAX / 4, False,
                                   settingsAtom, &type, &format, &bytes.length, &remaining,
                                   &bytes.data) == Success &&
                type == settingsAtom && format == 8 && bytes.data != nullptr) {
                milliseconds = xsettingsInteger({bytes.data, bytes.length}, "Net/DoubleClickTime");
            }
        });
        if (milliseconds) {
            if (auto s = plausibleSeconds(*milliseconds)) return s;
        }
    }
    if (auto milliseconds = multiClickTimeResource(display)) return plausibleSeconds(*milliseconds);
    return std::nullopt;
}

std::unique_ptr<DisplayLink> X11Display::makeDisplayLink(const Screen& screen) {
    TimerDisplayLink::Hooks hooks;
    hooks.beforeTick = [connection = connection_, hook = tickHook_] {
        if (connection) connection->beginBatch();
        if (hook) hook();
    };
    hooks.afterTick = [connection = connection_] {
        if (connection) connection->endBatch();
    };
    return std::make_unique<TimerDisplayLink>(loop_, screen.refreshRate, std::move(hooks));
}

}  // namespace joywright
