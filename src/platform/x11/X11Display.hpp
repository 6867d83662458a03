#pragma once

#include <functional>
#include <memory>

#include "engine/Display.hpp"
#include "platform/x11/X11Connection.hpp"
#include "support/MainLoop.hpp"

namespace joywright {

// The engine's view of the X display: the pointer (XQueryPointer), the monitors (XRandR; the
// primary first, then the others in the server's order, each with its refresh rate), the key
// repeat timing (XKB) and the double-click time (XSETTINGS "Net/DoubleClickTime", else the
// "multiClickTime" X resource, else 0.4 s), and display links ticking on the main loop.
// With a null connection there is no pointer and no screen, and the timing is the fallback
// (0.4 s, 0.5 s, 0.033 s). Main thread only.
class X11Display final : public Display {
public:
    X11Display(std::shared_ptr<X11Connection> connection, MainLoop& loop);

    std::optional<Point> cursorPosition() override;
    std::vector<Screen> screens() override;
    SystemTiming systemTiming() override;
    // A TimerDisplayLink at max(screen's refresh rate, 250 Hz). Each tick runs the tick hook
    // first, and sends the X requests the tick made in one go at its end.
    std::unique_ptr<DisplayLink> makeDisplayLink(const Screen& screen) override;

    // Runs at the start of every tick of the links made after this call, before the engine's
    // callback (the shell pumps the controllers here, so nothing waits twice).
    void setTickHook(std::function<void()> hook) { tickHook_ = std::move(hook); }

private:
    std::optional<double> doubleClickSeconds();

    std::shared_ptr<X11Connection> connection_;
    MainLoop& loop_;
    std::function<void()> tickHook_;
};

}  // namespace joywright
