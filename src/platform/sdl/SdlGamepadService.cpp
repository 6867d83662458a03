#include "platform/sdl/SdlGamepadService.hpp"

#include <array>

#include "support/Log.hpp"

namespace joywright {

Expected<std::unique_ptr<SdlGamepadService>, std::string> SdlGamepadService::create() {
    auto sdl = SdlSubsystems::acquire();
    if (!sdl) return unexpected(sdl.error());
    return std::unique_ptr<SdlGamepadService>(new SdlGamepadService(std::move(sdl).value()));
}

SdlGamepadService::SdlGamepadService(std::unique_ptr<SdlSubsystems> sdl) : sdl_(std::move(sdl)) {}

SdlGamepadService::~SdlGamepadService() {
    for (auto& [id, gamepad] : gamepads_)
        gamepad->close();
    gamepads_.clear();
}

void SdlGamepadService::start(GamepadCallback connected, GamepadCallback disconnected) {
    if (started_) return;
    started_ = true;
    connected_ = std::move(connected);
    disconnected_ = std::move(disconnected);

    SDL_PumpEvents();
    // Devices present now were announced by queued "added" events; they are handled here, once.
    SDL_FlushEvents(SDL_JOYDEVICEADDED, SDL_JOYDEVICEADDED);
    SDL_FlushEvents(SDL_CONTROLLERDEVICEADDED, SDL_CONTROLLERDEVICEADDED);
    std::shared_ptr<SdlGamepad> first;
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        known_.insert(SDL_JoystickGetDeviceInstanceID(index));
        if (first || SDL_IsGameController(index) != SDL_TRUE) continue;
        auto gamepad = SdlGamepad::open(index);
        if (!gamepad) {
            JW_LOG_ERROR(input, "Cannot open game controller: %s", gamepad.error().c_str());
            continue;
        }
        first = std::move(gamepad).value();
        gamepads_.emplace(first->instanceId(), first);
    }
    if (first && connected_) connected_(first);
}

void SdlGamepadService::pump() {
    if (!started_ || pumping_) return;
    pumping_ = true;
    SDL_PumpEvents();
    std::array<SDL_Event, 64> events;
    for (;;) {
        const int n = SDL_PeepEvents(events.data(), static_cast<int>(events.size()), SDL_GETEVENT,
                                     SDL_FIRSTEVENT, SDL_LASTEVENT);
        if (n <= 0) break;
        for (int i = 0; i < n; ++i)
            handle(events[static_cast<std::size_t>(i)]);
        if (n < static_cast<int>(events.size())) break;
    }
    flushPendingSticks();
    pumping_ = false;
}

void SdlGamepadService::handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            if (auto it = gamepads_.find(event.cbutton.which); it != gamepads_.end()) {
                it->second->applyButton(static_cast<SDL_GameControllerButton>(event.cbutton.button),
                                        event.cbutton.state == SDL_PRESSED);
            }
            return;
        case SDL_CONTROLLERAXISMOTION:
            if (auto it = gamepads_.find(event.caxis.which); it != gamepads_.end()) {
                it->second->applyAxis(static_cast<SDL_GameControllerAxis>(event.caxis.axis),
                                      event.caxis.value);
            }
            return;
        case SDL_CONTROLLERDEVICEADDED:
            flushPendingSticks();
            connectNewControllers();
            return;
        case SDL_CONTROLLERDEVICEREMOVED:
            flushPendingSticks();
            disconnect(event.cdevice.which);
            return;
        default:
            return;
    }
}

void SdlGamepadService::flushPendingSticks() {
    for (auto& [id, gamepad] : gamepads_)
        gamepad->flushPending();
}

void SdlGamepadService::connectNewControllers() {
    // An "added" event's device index may be stale by now; the device list is not.
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
        if (id < 0 || known_.contains(id) || SDL_IsGameController(index) != SDL_TRUE) continue;
        known_.insert(id);
        auto gamepad = SdlGamepad::open(index);
        if (!gamepad) {
            JW_LOG_ERROR(input, "Cannot open game controller: %s", gamepad.error().c_str());
            continue;
        }
        std::shared_ptr<SdlGamepad> opened = std::move(gamepad).value();
        gamepads_.emplace(opened->instanceId(), opened);
        if (connected_) connected_(opened);
    }
}

void SdlGamepadService::disconnect(SDL_JoystickID instanceId) {
    auto it = gamepads_.find(instanceId);
    if (it == gamepads_.end()) return;
    std::shared_ptr<SdlGamepad> gamepad = std::move(it->second);
    gamepads_.erase(it);
    gamepad->close();
    if (disconnected_) disconnected_(gamepad);
}

}  // namespace joywright
