#include "platform/sdl/SdlGamepad.hpp"

#include "platform/sdl/SdlControllerInfo.hpp"

namespace joywright {

namespace {

float buttonValue(bool pressed) {
    return pressed ? 1.0f : 0.0f;
}

}  // namespace

Expected<std::shared_ptr<SdlGamepad>, std::string> SdlGamepad::open(int deviceIndex) {
    if (SDL_IsGameController(deviceIndex) != SDL_TRUE) {
        return unexpected(std::string("SDL device ") + std::to_string(deviceIndex) +
                          " is not a game controller");
    }
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return unexpected(std::string(SDL_GetError()));
    return std::shared_ptr<SdlGamepad>(new SdlGamepad(controller));
}

SdlGamepad::SdlGamepad(SDL_GameController* controller)
    : controller_(controller),
      instanceId_(SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller))),
      productCategory_(productCategoryName(SDL_GameControllerGetType(controller))) {
    if (const char* name = SDL_GameControllerName(controller); name != nullptr && *name != '\0') {
        vendorName_ = name;
    }
    const auto has = [&](SDL_GameControllerButton button) {
        return SDL_GameControllerHasButton(controller, button) == SDL_TRUE;
    };
    if (has(SDL_CONTROLLER_BUTTON_LEFTSTICK))
        leftThumbstickButton_.emplace(std::vector<std::string>{"Left Thumbstick Button"});
    if (has(SDL_CONTROLLER_BUTTON_RIGHTSTICK))
        rightThumbstickButton_.emplace(std::vector<std::string>{"Right Thumbstick Button"});
    if (has(SDL_CONTROLLER_BUTTON_BACK))
        buttonOptions_.emplace(std::vector<std::string>{"Button Options"});
    if (has(SDL_CONTROLLER_BUTTON_GUIDE))
        buttonHome_.emplace(std::vector<std::string>{"Button Home"});
    readInitialState();
}

SdlGamepad::~SdlGamepad() {
    close();
}

void SdlGamepad::close() {
    if (controller_ == nullptr) return;
    SDL_GameControllerClose(controller_);
    controller_ = nullptr;
    leftPending_ = {};
    rightPending_ = {};
}

void SdlGamepad::setValueChangedHandler(ValueChangedHandler handler) {
    handler_ = handler ? std::make_shared<const ValueChangedHandler>(std::move(handler)) : nullptr;
}

std::optional<ControllerDescription> SdlGamepad::controller() const {
    ControllerDescription description{.vendorName = vendorName_,
                                      .productCategory = productCategory_,
                                      .batteryLevel = std::nullopt};
    if (controller_ != nullptr) {
        description.batteryLevel =
            batteryLevel(SDL_JoystickCurrentPowerLevel(SDL_GameControllerGetJoystick(controller_)));
    }
    return description;
}

SdlGamepadButton* SdlGamepad::buttonFor(SDL_GameControllerButton button) {
    const auto optionalButton = [](std::optional<SdlGamepadButton>& b) {
        return b ? &*b : nullptr;
    };
    switch (button) {
        case SDL_CONTROLLER_BUTTON_A:
            return &buttonA_;
        case SDL_CONTROLLER_BUTTON_B:
            return &buttonB_;
        case SDL_CONTROLLER_BUTTON_X:
            return &buttonX_;
        case SDL_CONTROLLER_BUTTON_Y:
            return &buttonY_;
        case SDL_CONTROLLER_BUTTON_START:
            return &buttonMenu_;
        case SDL_CONTROLLER_BUTTON_BACK:
            return optionalButton(buttonOptions_);
        case SDL_CONTROLLER_BUTTON_GUIDE:
            return optionalButton(buttonHome_);
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
            return &leftShoulder_;
        case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
            return &rightShoulder_;
        case SDL_CONTROLLER_BUTTON_LEFTSTICK:
            return optionalButton(leftThumbstickButton_);
        case SDL_CONTROLLER_BUTTON_RIGHTSTICK:
            return optionalButton(rightThumbstickButton_);
        default:
            return nullptr;
    }
}

void SdlGamepad::readInitialState() {
    const auto button = [&](SDL_GameControllerButton b) {
        return buttonValue(SDL_GameControllerGetButton(controller_, b) != 0);
    };
    const auto axis = [&](SDL_GameControllerAxis a) {
        return SDL_GameControllerGetAxis(controller_, a);
    };
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
        const auto sdlButton = static_cast<SDL_GameControllerButton>(b);
        if (auto* element = buttonFor(sdlButton)) element->reset(button(sdlButton));
    }
    dpadPressed_[0] = button(SDL_CONTROLLER_BUTTON_DPAD_UP) > 0;
    dpadPressed_[1] = button(SDL_CONTROLLER_BUTTON_DPAD_DOWN) > 0;
    dpadPressed_[2] = button(SDL_CONTROLLER_BUTTON_DPAD_LEFT) > 0;
    dpadPressed_[3] = button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) > 0;
    dpad_.reset(buttonValue(dpadPressed_[3]) - buttonValue(dpadPressed_[2]),
                buttonValue(dpadPressed_[0]) - buttonValue(dpadPressed_[1]));
    leftThumbstick_.reset(normalizedStickAxis(axis(SDL_CONTROLLER_AXIS_LEFTX)),
                          0.0f - normalizedStickAxis(axis(SDL_CONTROLLER_AXIS_LEFTY)));
    rightThumbstick_.reset(normalizedStickAxis(axis(SDL_CONTROLLER_AXIS_RIGHTX)),
                           0.0f - normalizedStickAxis(axis(SDL_CONTROLLER_AXIS_RIGHTY)));
    leftTrigger_.reset(normalizedTrigger(axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT)));
    rightTrigger_.reset(normalizedTrigger(axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT)));
}

void SdlGamepad::applyButton(SDL_GameControllerButton button, bool pressed) {
    flushPending();
    int dpadIndex = -1;
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            dpadIndex = 0;
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            dpadIndex = 1;
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            dpadIndex = 2;
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            dpadIndex = 3;
            break;
        default:
            break;
    }
    if (dpadIndex >= 0) {
        dpadPressed_[dpadIndex] = pressed;
        changeDpad();
        return;
    }
    if (auto* element = buttonFor(button);
        element != nullptr && element->change(buttonValue(pressed))) {
        notifyGamepad(*element);
    }
}

void SdlGamepad::applyAxis(SDL_GameControllerAxis axis, Sint16 raw) {
    switch (axis) {
        case SDL_CONTROLLER_AXIS_LEFTX:
        case SDL_CONTROLLER_AXIS_LEFTY:
            flush(rightThumbstick_, rightPending_);
            stage(leftThumbstick_, leftPending_, axis == SDL_CONTROLLER_AXIS_LEFTX,
                  normalizedStickAxis(raw));
            return;
        case SDL_CONTROLLER_AXIS_RIGHTX:
        case SDL_CONTROLLER_AXIS_RIGHTY:
            flush(leftThumbstick_, leftPending_);
            stage(rightThumbstick_, rightPending_, axis == SDL_CONTROLLER_AXIS_RIGHTX,
                  normalizedStickAxis(raw));
            return;
        case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
            flushPending();
            if (leftTrigger_.change(normalizedTrigger(raw))) notifyGamepad(leftTrigger_);
            return;
        case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
            flushPending();
            if (rightTrigger_.change(normalizedTrigger(raw))) notifyGamepad(rightTrigger_);
            return;
        default:
            return;
    }
}

void SdlGamepad::stage(SdlGamepadDirectionPad& stick, PendingStick& pending, bool isX,
                       float value) {
    // A second report of an axis already staged means the first report is complete.
    if (isX ? pending.xStaged : pending.yStaged) flush(stick, pending);
    if (!pending.xStaged && !pending.yStaged) {
        pending.x = stick.xAxis();
        pending.y = stick.yAxis();
    }
    if (isX) {
        pending.x = value;
        pending.xStaged = true;
    } else {
        pending.y = 0.0f - value;  // SDL's y grows downwards; 0 stays +0
        pending.yStaged = true;
    }
    if (pending.xStaged && pending.yStaged) flush(stick, pending);
}

void SdlGamepad::flush(SdlGamepadDirectionPad& stick, PendingStick& pending) {
    if (!pending.xStaged && !pending.yStaged) return;
    pending.xStaged = false;
    pending.yStaged = false;
    if (stick.change(pending.x, pending.y)) notifyGamepad(stick);
}

void SdlGamepad::flushPending() {
    flush(leftThumbstick_, leftPending_);
    flush(rightThumbstick_, rightPending_);
}

void SdlGamepad::changeDpad() {
    const float x = buttonValue(dpadPressed_[3]) - buttonValue(dpadPressed_[2]);
    const float y = buttonValue(dpadPressed_[0]) - buttonValue(dpadPressed_[1]);
    if (dpad_.change(x, y)) notifyGamepad(dpad_);
}

void SdlGamepad::notifyGamepad(GamepadElement& element) {
    if (auto handler = handler_) (*handler)(*this, element);
}

}  // namespace joywright
