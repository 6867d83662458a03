#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/Geometry.hpp"

namespace joywright {

// System timing values, seconds.
struct SystemTiming {
    double doubleClickInterval = 0.4;
    double keyRepeatDelay = 0.5;
    double keyRepeatInterval = 0.033;
};

struct Screen {
    Rect frame;               // global display coordinates, y down
    double refreshRate = 60;  // Hz
};

// Calls its tick callback once per display refresh on the main thread until stopped.
class DisplayLink {
public:
    virtual ~DisplayLink() = default;
    // `onTick` receives deltaTime: the duration of the frame being prepared, seconds.
    virtual void start(std::function<void(double deltaTime)> onTick) = 0;
    virtual void stop() = 0;
};

// The screens, the cursor and the timing the engine needs from the windowing system. Main thread.
class Display {
public:
    virtual ~Display() = default;

    // The cursor in global display coordinates (y down); none when it cannot be read.
    virtual std::optional<Point> cursorPosition() = 0;
    // Screens in the platform's order; the first is the main screen. Empty when there is none.
    virtual std::vector<Screen> screens() = 0;
    virtual SystemTiming systemTiming() = 0;
    // A link ticking at the refresh of `screen`; null when none can be made.
    virtual std::unique_ptr<DisplayLink> makeDisplayLink(const Screen& screen) = 0;
};

}  // namespace joywright
