#pragma once

#include <memory>
#include <string>

#include "support/Expected.hpp"

namespace joywright {

// Keeps SDL's game-controller, joystick and event subsystems running while it lives; SDL counts
// the references, so several holders share one initialisation. Before the first one starts, it
// sets the hints this program needs: controller events keep arriving while another application
// is in front, and SDL installs no signal handlers (the shell owns SIGTERM and SIGINT). No video
// subsystem is started. Main thread only.
class SdlSubsystems {
public:
    // The subsystems, or SDL's reason why they cannot start.
    static Expected<std::unique_ptr<SdlSubsystems>, std::string> acquire();

    ~SdlSubsystems();
    SdlSubsystems(const SdlSubsystems&) = delete;
    SdlSubsystems& operator=(const SdlSubsystems&) = delete;

private:
    SdlSubsystems() = default;
};

}  // namespace joywright
