#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/sdl/SdlSubsystems.hpp"
#include "support/Expected.hpp"

namespace joywright::e2e {

// A virtual game controller attached to SDL in this process: the buttons and axes of a standard
// game controller, so SDL's game-controller layer (and so SdlGamepadService) takes it for real
// hardware. Values set here reach SDL at its next joystick update, i.e. the service's next
// pump(). Main thread only.
//
//   auto pad = VirtualController::attach("Test Pad");
//   (*pad)->setButton(SDL_CONTROLLER_BUTTON_A, true);
//   (*pad)->setStick(VirtualController::Stick::right, 1.0f, 0.0f);   // full right
//   (*pad)->detach();                                                 // a disconnect
class VirtualController {
public:
    enum class Stick { left, right };

    // Attaches a controller named `name` (its vendor name to the program); SDL's reason when it
    // cannot.
    static Expected<std::unique_ptr<VirtualController>, std::string> attach(
        const std::string& name = "Joywright Virtual Pad");

    // Detaches the controller if still attached.
    ~VirtualController();
    VirtualController(const VirtualController&) = delete;
    VirtualController& operator=(const VirtualController&) = delete;

    SDL_JoystickID instanceId() const { return instanceId_; }
    bool isAttached() const { return joystick_ != nullptr; }

    void setButton(SDL_GameControllerButton button, bool pressed);
    // SDL's raw axis value: sticks -32768...32767 (y down), triggers -32768 (rest)...32767.
    void setAxis(SDL_GameControllerAxis axis, Sint16 raw);
    // A stick in the program's terms: x right, y up, each -1...1.
    void setStick(Stick stick, float x, float y);
    // A trigger (SDL_CONTROLLER_AXIS_TRIGGERLEFT or _TRIGGERRIGHT) at 0...1.
    void setTrigger(SDL_GameControllerAxis trigger, float value);
    // Unplugs it: SDL releases every element, then reports the removal.
    void detach();

private:
    VirtualController(std::unique_ptr<SdlSubsystems> sdl, SDL_Joystick* joystick);

    std::unique_ptr<SdlSubsystems> sdl_;
    SDL_Joystick* joystick_;
    SDL_JoystickID instanceId_;
};

}  // namespace joywright::e2e
