#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "controller/GamepadService.hpp"
#include "platform/sdl/SdlGamepad.hpp"
#include "platform/sdl/SdlSubsystems.hpp"
#include "support/Expected.hpp"

namespace joywright {

// Game controllers through SDL2. Only devices SDL recognises as game controllers count; SDL's
// virtual joysticks are controllers like any other. SDL is read only in pump(), which never
// blocks, so the caller decides how often it runs. Main thread only.
//
//   auto service = SdlGamepadService::create();   // or the reason SDL cannot start
//   (*service)->start(onConnected, onDisconnected);
//   ... call (*service)->pump() at the start of each engine tick, or on a slow timer.
class SdlGamepadService final : public GamepadService {
public:
    static Expected<std::unique_ptr<SdlGamepadService>, std::string> create();

    // Closes every controller it opened; gamepads handed out stay valid but go quiet.
    ~SdlGamepadService() override;

    // Hands the first game controller connected now (in SDL's device order) to `connected`;
    // others connected now are left alone. Later connects and disconnects come from pump().
    void start(GamepadCallback connected, GamepadCallback disconnected) override;

    // Reads SDL's pending events and delivers them in arrival order: element changes through
    // the gamepads' handlers, connects and disconnects through the callbacks. Does nothing before
    // start() and when called from inside one of its own callbacks. The service must not be
    // destroyed from inside a callback or handler it calls.
    void pump() override;

    // The gamepads currently open (the adopted one and those connected later).
    std::size_t openCount() const { return gamepads_.size(); }

private:
    explicit SdlGamepadService(std::unique_ptr<SdlSubsystems> sdl);

    void handle(const SDL_Event& event);
    void flushPendingSticks();
    void connectNewControllers();
    void disconnect(SDL_JoystickID instanceId);

    std::unique_ptr<SdlSubsystems> sdl_;
    bool started_ = false;
    bool pumping_ = false;
    GamepadCallback connected_;
    GamepadCallback disconnected_;
    // Joysticks already accounted for: present at start, or opened since.
    std::unordered_set<SDL_JoystickID> known_;
    std::unordered_map<SDL_JoystickID, std::shared_ptr<SdlGamepad>> gamepads_;
};

}  // namespace joywright
