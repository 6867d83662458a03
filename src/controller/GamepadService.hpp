#pragma once

#include <functional>
#include <memory>

#include "controller/Gamepad.hpp"

namespace joywright {

// Finds extended gamepads and follows their connection. Main thread only.
class GamepadService {
public:
    using GamepadCallback = std::function<void(std::shared_ptr<Gamepad>)>;

    virtual ~GamepadService() = default;

    // Lets controller events arrive while another application is in front, hands the first
    // gamepad already connected (if any) to `connected`, then reports every later connect and
    // disconnect, in the order they happen, from pump().
    virtual void start(GamepadCallback connected, GamepadCallback disconnected) = 0;

    // Delivers pending controller events now: element changes through the gamepads' handlers,
    // then connects and disconnects through the callbacks, in arrival order.
    virtual void pump() = 0;
};

}  // namespace joywright
