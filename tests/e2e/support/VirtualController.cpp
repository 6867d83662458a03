#include "VirtualController.hpp"

#include <algorithm>
#include <cmath>

namespace joywright::e2e {

namespace {

// The standard game controller: every button up to the D-pad, every axis.
constexpr int kButtonCount = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;

Sint16 rawStick(float value) {
    return static_cast<Sint16>(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

}  // namespace

Expected<std::unique_ptr<VirtualController>, std::string> VirtualController::attach(
    const std::string& name) {
    auto sdl = SdlSubsystems::acquire();
    if (!sdl) return unexpected(sdl.error());

    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = kButtonCount;
    desc.button_mask = (1u << kButtonCount) - 1;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.name = name.c_str();
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0)
        return unexpected(std::string("Cannot attach a virtual controller: ") + SDL_GetError());
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    if (joystick == nullptr) {
        std::string error = std::string("Cannot open the virtual controller: ") + SDL_GetError();
        SDL_JoystickDetachVirtual(index);
        return unexpected(std::move(error));
    }
    return std::unique_ptr<VirtualController>(
        new VirtualController(std::move(sdl).value(), joystick));
}

VirtualController::VirtualController(std::unique_ptr<SdlSubsystems> sdl, SDL_Joystick* joystick)
    : sdl_(std::move(sdl)), joystick_(joystick), instanceId_(SDL_JoystickInstanceID(joystick)) {}

VirtualController::~VirtualController() {
    detach();
}

void VirtualController::setButton(SDL_GameControllerButton button, bool pressed) {
    if (joystick_ != nullptr) SDL_JoystickSetVirtualButton(joystick_, button, pressed ? 1 : 0);
}

void VirtualController::setAxis(SDL_GameControllerAxis axis, Sint16 raw) {
    if (joystick_ != nullptr) SDL_JoystickSetVirtualAxis(joystick_, axis, raw);
}

void VirtualController::setStick(Stick stick, float x, float y) {
    const bool left = stick == Stick::left;
    setAxis(left ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_RIGHTX, rawStick(x));
    setAxis(left ? SDL_CONTROLLER_AXIS_LEFTY : SDL_CONTROLLER_AXIS_RIGHTY, rawStick(-y));
}

void VirtualController::setTrigger(SDL_GameControllerAxis trigger, float value) {
    // The virtual driver maps the full axis onto the trigger: -32768 is released, 32767 full.
    const double raw = -32768.0 + std::clamp(static_cast<double>(value), 0.0, 1.0) * 65535.0;
    setAxis(trigger, static_cast<Sint16>(std::lround(raw)));
}

void VirtualController::detach() {
    if (joystick_ == nullptr) return;
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == instanceId_) {
            SDL_JoystickDetachVirtual(index);
            break;
        }
    }
}

}  // namespace joywright::e2e
