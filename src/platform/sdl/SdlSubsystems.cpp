#include "platform/sdl/SdlSubsystems.hpp"

#include <SDL.h>

namespace joywright {

namespace {

constexpr Uint32 kSubsystems = SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK | SDL_INIT_EVENTS;

}  // namespace

Expected<std::unique_ptr<SdlSubsystems>, std::string> SdlSubsystems::acquire() {
    // Hints are read when the subsystems start, so they go first; setting them again is harmless.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(kSubsystems) != 0) {
        return unexpected(std::string("SDL could not start its game controller support: ") +
                          SDL_GetError());
    }
    return std::unique_ptr<SdlSubsystems>(new SdlSubsystems());
}

SdlSubsystems::~SdlSubsystems() {
    SDL_QuitSubSystem(kSubsystems);
}

}  // namespace joywright
